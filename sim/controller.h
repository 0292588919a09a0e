// The simulated controller: answers requests from its blocks, applies write commands through the
// write-address map, runs the command values of address 30, drives the car model on a clock and
// misbehaves on demand (the fault switches). Time is passed in, so tests run it on a fake clock.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "car.h"
#include "frame.h"
#include "memory.h"

namespace kv::sim {

inline constexpr std::uint8_t kWrongMarker = 0xE5;  // the marker with its top bit flipped

enum class RefuseMode { Auto, On, Off };
// Bit 4 of Block 2 byte 8 says a learning cycle finished, bit 5 that it failed; both clear
// after a cycle means it was interrupted.
enum class LearnResult { Ok, Fail, Interrupted };

// Learning outcome bits in Block 2 byte 8, read by the program once bit 1 falls:
// bit 4 clear = learned; bit 4 set = failed; bits 4 and 5 set = failed and still pending.
inline constexpr std::uint8_t kLearningBit = 0x02;
inline constexpr std::uint8_t kLearnDoneBit = 0x10;
inline constexpr std::uint8_t kLearnErrorBit = 0x20;
std::uint8_t OutcomeBits(LearnResult result);

struct Faults {
  bool silence = false;     // no reply to anything, writes not applied
  bool marker = false;      // replies and acks start with kWrongMarker
  bool badsum = false;      // last byte of every reply and ack one too high
  bool wrongEcho = false;   // ack byte 1 is the value with all bits flipped
  int shortLength = -1;     // send only this many bytes of every reply; -1 off
  int noEchoAfter = -1;     // writes still acknowledged; at 0 writes get no ack and are not
                            // applied; -1 off
  std::array<bool, kBlockCount + 1> noReply{};  // [n]: read request n gets no reply
  RefuseMode refuse = RefuseMode::Auto;  // Block 2 byte 7 bit 3: Auto = engine running
};

struct ControllerOptions {
  int version = 3;
  int revision = 5;
  bool frozen = false;          // live signals frozen from the start
  double startSeconds = 0;      // model time to start at
  Micros learnDuration = 3000000;
  LearnResult learnResult = LearnResult::Ok;
};

struct Counters {
  unsigned long frames = 0, reads = 0, writes = 0, acks = 0, unknownWrites = 0;
};

class Controller {
 public:
  Controller(Micros now, const ControllerOptions& options = {});

  // The reply to one valid frame received at `now`, faults applied; empty when it keeps silent.
  std::vector<std::uint8_t> Handle(const Frame& frame, Micros now);

  // Brings the live signals and the learning cycle up to `now`.
  void Tick(Micros now);

  // Block n as it would be sent now (without faults): marker, payload, checksum.
  std::vector<std::uint8_t> Block(int n) const;

  // Direct access for the control channel. Set pins a live byte so the car leaves it alone.
  bool Set(int block, int index, std::uint8_t value);
  bool Get(int block, int index, std::uint8_t& value) const;
  bool Unpin(int block, int index);
  void UnpinAll();

  void SetVersion(int version);
  void SetRevision(int revision);
  int version() const { return (memory_.at(1, 2) >> 5) + 1; }
  int revision() const { return memory_.at(1, 2) & 0x1F; }

  // Live signals: frozen or following the clock; Advance moves the model on in either case.
  void SetFrozen(bool frozen, Micros now);
  bool frozen() const { return frozen_; }
  void Advance(Micros span);
  void SetEngine(bool running, Micros now);
  void SetTemperature(double celsius, Micros now);
  void SetGasSensor(double raw, Micros now);
  Micros modelTime() const { return modelTime_; }

  void SetLearnResult(LearnResult r) { learnResult_ = r; }
  LearnResult learnResult() const { return learnResult_; }
  void SetLearnDuration(Micros d) { learnDuration_ = d; }
  Micros learnDuration() const { return learnDuration_; }
  bool learning() const { return learning_; }

  Faults& faults() { return faults_; }
  const Faults& faults() const { return faults_; }
  void ClearFaults() { faults_ = Faults{}; }

  Car& car() { return car_; }
  const Car& car() const { return car_; }
  Memory& memory() { return memory_; }
  const Memory& memory() const { return memory_; }
  const Counters& counters() const { return counters_; }

 private:
  void ApplyWrite(int writeAddress, std::uint8_t value, Micros now);
  void RunCommand(std::uint8_t value, Micros now);
  void StepTo(Micros modelTime);
  void Nudge();

  Memory memory_;
  Car car_;
  Faults faults_;
  Counters counters_;
  bool frozen_;
  Micros modelTime_ = 0;    // car time, microseconds
  Micros clockOffset_ = 0;  // clock time minus model time while not frozen
  bool learning_ = false;
  Micros learnEnd_ = 0;
  std::uint8_t outcome_ = 0;
  Micros learnDuration_;
  LearnResult learnResult_;
};

}  // namespace kv::sim
