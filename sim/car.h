// The engine and gas system behind the controller: a repeating drive cycle (idle, rev, cruise,
// engine braking, a high rev), a coolant temperature warming from cold, a lambda probe swinging
// across its range, the actuator working around AttInit, the petrol/gas switching logic and the
// gas level sensor. It advances in fixed steps so that a given model time always gives the same
// bytes, and it reads the controller's settings from memory at every step, so a setting written
// by the program changes the car's behaviour at once.
#pragma once

#include <cstdint>

#include "frame.h"
#include "memory.h"

namespace kv::sim {

class Car {
 public:
  static constexpr Micros kStep = 20000;   // model step, 20 ms
  static constexpr double kCycle = 30.0;   // length of the drive cycle, seconds
  static constexpr double kStartTemperature = 20.0;
  static constexpr double kStartGasSensor = 170.0;

  // Advances one step and publishes the live bytes into memory (pinned bytes are skipped).
  void Step(Memory& memory);
  // Writes the current state into the live bytes of memory without advancing.
  void Publish(Memory& memory) const;

  void SetEngine(bool running);
  void SetTemperature(double celsius) { temperature_ = celsius; }
  void SetGasSensor(double raw);

  bool running() const { return running_; }
  double time() const { return t_; }
  unsigned rpm() const;
  double temperature() const { return temperature_; }
  bool onGas() const { return onGas_; }
  bool cutOff() const { return cutOff_; }
  bool lpgOff() const { return lpgOff_; }
  double gasSensor() const { return gasSensor_; }

 private:
  struct Settings;
  struct Mixture;
  void Drive(double phase, double& rpm, double& throttle) const;
  // The parts of a step, in the order Step runs them.
  double StepEngine();
  void StepTemperature();
  void StepSwitching(const Settings& settings, bool idle);
  Mixture StepLambda(const Settings& settings);
  double StepThrottleSensor(const Settings& settings, double throttle, bool idle, int lambdaState);
  void StepActuator(const Settings& settings, double tpsVolts, double throttle, bool idle,
                    const Mixture& mixture);
  void StepGasLevel(const Memory& memory);
  void StepRunningTime(Memory& memory);

  double t_ = 0;            // model seconds
  double cycleStart_ = 0;   // model time at which the current drive cycle began
  bool running_ = true;
  double rpm_ = 800;
  double throttle_ = 0;     // 0 closed .. 1 wide open
  double temperature_ = kStartTemperature;
  double lambdaPhase_ = 0;
  double lambda_ = 0;       // 0 lean end .. 1 rich end of the probe's range
  double correction_ = 0;   // actuator steps added by the lambda control
  double actuator_ = -1;    // -1: not placed yet (parks at AttInit)
  double throttleHistory_[5] = {};
  double jumpUntil_ = -1;
  bool tempReached_ = false;
  bool speedReached_ = false;
  bool aboveOnSpeed_ = false;
  bool lpgOff_ = false;
  bool cutOff_ = false;
  bool onGas_ = false;
  double gasSensor_ = kStartGasSensor;
  double gasSeconds_ = 0;   // seconds on gas not yet counted as a minute
  // Derived bytes, kept for Publish.
  std::uint8_t tpsByte_ = 0, lambdaByte_ = 0, statusByte_ = 0, temperatureByte_ = 0;
  std::uint8_t gasLevel_ = 0;
};

}  // namespace kv::sim
