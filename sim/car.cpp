#include "car.h"

#include <algorithm>
#include <cmath>

#include "conversions.h"

namespace kv::sim {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kStepSeconds = Car::kStep / 1e6;
constexpr double kVoltsPerCount = 0.0196;  // raw TPS and lambda bytes
constexpr double kIdleThrottleVolts = 0.5;
constexpr double kThrottleSpanVolts = 4.0;

// Drive cycle key points: time into the cycle (s), engine speed (rpm), throttle (0..1).
struct Key {
  double t, rpm, throttle;
};
constexpr Key kCycleKeys[] = {
    {0, 800, 0},      {7, 800, 0},       {8, 1800, 0.35},   {9.5, 2600, 0.45},
    {13, 2600, 0.40}, {13.3, 2500, 0},   {16, 1100, 0},     {17, 820, 0},
    {21, 800, 0},     {22, 2200, 0.50},  {23.5, 3400, 0.70}, {24.5, 4500, 0.95},
    {25.5, 4500, 0.95}, {26, 3800, 0},   {28, 900, 0},      {30, 800, 0},
};

std::uint8_t ToByte(double x) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(x), 0L, 255L));
}

unsigned Threshold(const Memory& m, int hiIndex, int loIndex) {
  const unsigned period = m.at(4, hiIndex) * 256u + m.at(4, loIndex);
  return period ? 15000000u / period : 0;
}

void PublishByte(Memory& m, int block, int index, std::uint8_t value) {
  if (!m.pinned[block][index]) m.at(block, index) = value;
}

}  // namespace

void Car::Drive(double phase, double& rpm, double& throttle) const {
  const std::size_t n = sizeof kCycleKeys / sizeof kCycleKeys[0];
  for (std::size_t i = 1; i < n; ++i) {
    const Key& a = kCycleKeys[i - 1];
    const Key& b = kCycleKeys[i];
    if (phase <= b.t) {
      const double f = b.t > a.t ? (phase - a.t) / (b.t - a.t) : 1.0;
      rpm = a.rpm + (b.rpm - a.rpm) * f;
      throttle = a.throttle + (b.throttle - a.throttle) * f;
      return;
    }
  }
  rpm = kCycleKeys[n - 1].rpm;
  throttle = kCycleKeys[n - 1].throttle;
}

void Car::SetEngine(bool running) {
  if (running && !running_) cycleStart_ = t_;  // a fresh start idles first
  running_ = running;
}

void Car::SetGasSensor(double raw) { gasSensor_ = std::clamp(raw, 0.0, 255.0); }

unsigned Car::rpm() const { return running_ ? static_cast<unsigned>(std::lround(rpm_)) : 0; }

// The settings a step works from, read afresh each step so that writes take effect at once.
struct Car::Settings {
  std::uint8_t options;
  int probe, tpsCode;
  double lambdaPoint, inertVolts;
  int attInit, attMax, attMin, tpsJump, attJump, cutSteps, attMaxIdle, attMinIdle;
  unsigned onSpeed, cutSpeed, offSpeed;
  std::uint8_t onTemperature;

  static Settings Of(const Memory& m) {
    Settings s{};
    s.options = m.at(3, 1);
    s.probe = m.at(3, 2) >> 4;
    s.tpsCode = m.at(3, 2) & 0x0F;
    s.lambdaPoint = m.at(3, 3) * 0.02 / kVoltsPerCount;
    s.inertVolts = m.at(3, 12) / 50.0 + 0.02;
    s.onTemperature = m.at(3, 11);
    s.attInit = m.at(2, 4);
    s.attMax = m.at(4, 1), s.attMin = m.at(4, 2);
    s.tpsJump = m.at(4, 3), s.attJump = m.at(4, 4);
    s.onSpeed = Threshold(m, 6, 5);
    s.cutSpeed = Threshold(m, 9, 8);
    s.cutSteps = m.at(4, 10);
    s.offSpeed = Threshold(m, 12, 11);
    s.attMaxIdle = m.at(4, 13), s.attMinIdle = m.at(4, 14);
    return s;
  }
};

// Where the lambda probe's voltage stands against the neutral point.
struct Car::Mixture {
  bool rich, lean;
  int state;  // the status byte's lambda state: 0 stopped, 1 lean, 2 between, 4 rich
};

void Car::Step(Memory& m) {
  t_ += kStepSeconds;
  const Settings s = Settings::Of(m);
  const double throttle = StepEngine();
  const bool idle = throttle * kThrottleSpanVolts <= s.inertVolts;
  StepTemperature();
  StepSwitching(s, idle);
  const Mixture mixture = StepLambda(s);
  const double tpsVolts = StepThrottleSensor(s, throttle, idle, mixture.state);
  StepActuator(s, tpsVolts, throttle, idle, mixture);
  StepGasLevel(m);
  StepRunningTime(m);
  Publish(m);
}

// Engine speed and throttle from the drive cycle, with a little unsteadiness.
double Car::StepEngine() {
  double throttle = 0;
  if (running_) {
    double base;
    Drive(std::fmod(t_ - cycleStart_, kCycle), base, throttle);
    const double wobble = throttle == 0 ? 15 * std::sin(2 * kPi * t_ / 1.7)
                                        : 25 * std::sin(2 * kPi * t_ / 0.9);
    rpm_ = base + wobble;
  } else {
    rpm_ = 0;
  }
  throttle_ = throttle;
  return throttle;
}

// Coolant warms towards 90 C while running and cools slowly towards 20 C when stopped.
void Car::StepTemperature() {
  temperature_ += ((running_ ? 90.0 : 20.0) - temperature_) * kStepSeconds /
                  (running_ ? 45.0 : 600.0);
  temperatureByte_ = TemperatureToRaw(static_cast<int>(RoundHalfDown(temperature_)));
}

// Switching: gas once warm (when the switch-on temperature is in use) and the speed condition
// met: above the LPG-on speed (Options bit 4 clear) or back below it after passing it (bit 4
// set). Above the LPG-off speed (when Options bit 6 is set) it falls back to petrol.
void Car::StepSwitching(const Settings& s, bool idle) {
  const unsigned rpm = this->rpm();
  tempReached_ = !(s.options & 0x02) || temperatureByte_ >= s.onTemperature;
  if (!running_ || !tempReached_) {
    speedReached_ = aboveOnSpeed_ = false;
  } else if (!speedReached_) {
    if (!(s.options & 0x10)) {
      speedReached_ = rpm > s.onSpeed;
    } else {
      if (rpm > s.onSpeed) aboveOnSpeed_ = true;
      else if (aboveOnSpeed_) speedReached_ = true;
    }
  }
  if (running_ && (s.options & 0x40) && s.offSpeed > 0) {
    if (rpm > s.offSpeed) lpgOff_ = true;
    else if (rpm + 200 < s.offSpeed) lpgOff_ = false;
  } else {
    lpgOff_ = false;
  }
  onGas_ = running_ && tempReached_ && speedReached_ && !lpgOff_;
  cutOff_ = running_ && (s.options & 0x20) && idle && s.cutSpeed > 0 && rpm > s.cutSpeed;
}

// Lambda probe: switches between lean and rich, faster at higher speed; lean in cut-off.
Car::Mixture Car::StepLambda(const Settings& s) {
  if (running_) {
    lambdaPhase_ = std::fmod(lambdaPhase_ + kStepSeconds * (0.8 + rpm() / 2000.0), 1.0);
    // On gas the mixture follows the actuator: the lambda control's correction pulls it towards
    // a slowly wandering ideal, so the actuator hunts around a point instead of drifting off.
    double mixture = std::sin(2 * kPi * lambdaPhase_);
    if (onGas_) mixture += (correction_ - 5.0 * std::sin(2 * kPi * t_ / 23.0)) / 6.0;
    const double swing = std::clamp(std::tanh(2.5 * mixture) / std::tanh(2.5), -1.0, 1.0);
    lambda_ = cutOff_ ? 0.05 : 0.5 + 0.45 * swing;
  } else {
    lambda_ = 0;
  }
  double lo = 0, hi = 255;
  if (s.probe == 0) hi = 51;                      // 0-1 V
  else if (s.probe == 5) lo = 41, hi = 82;        // 0.8-1.6 V
  const bool inverted = s.probe == 3 || s.probe == 4;  // 5-0 V probes
  const double lambdaRaw = inverted ? hi - lambda_ * (hi - lo) : lo + lambda_ * (hi - lo);
  lambdaByte_ = ToByte(lambdaRaw);
  const double margin = 0.06 * (hi - lo);
  const double point = s.lambdaPoint;
  const bool rich = inverted ? lambdaRaw < point - margin : lambdaRaw > point + margin;
  const bool lean = inverted ? lambdaRaw > point + margin : lambdaRaw < point - margin;
  return {rich, lean, !running_ ? 0 : rich ? 4 : lean ? 1 : 2};
}

// Throttle sensor and its lamps (bits 7..4 of the status byte: one bit for the band the throttle
// is in; for switch sensors, codes 6 and 7, bit 4 is the throttle switch, set off idle). Returns
// the sensor's volts.
double Car::StepThrottleSensor(const Settings& s, double throttle, bool idle, int lambdaState) {
  const double tpsVolts = kIdleThrottleVolts + throttle * kThrottleSpanVolts;
  int tpsBits;
  if (s.tpsCode == 2 || s.tpsCode == 3) {
    tpsByte_ = 0;
    tpsBits = 0;
  } else {
    tpsByte_ = ToByte(tpsVolts / kVoltsPerCount);
    if (s.tpsCode == 1) tpsByte_ = static_cast<std::uint8_t>(255 - tpsByte_);
    if (s.tpsCode == 6 || s.tpsCode == 7) tpsBits = idle ? 0x00 : 0x10;
    else tpsBits = idle ? 0x10 : throttle < 0.3 ? 0x20 : throttle < 0.6 ? 0x40 : 0x80;
  }
  statusByte_ = static_cast<std::uint8_t>(tpsBits | (running_ ? 0x08 : 0) | lambdaState);
  return tpsVolts;
}

// Actuator: parked at AttInit on petrol; on gas it follows the load and the lambda control
// within the idle or working band, closes by CutOffSteps in cut-off and opens to the jump
// position for a moment when the throttle rises faster than TPSJump (Options bit 3).
void Car::StepActuator(const Settings& s, double tpsVolts, double throttle, bool idle,
                       const Mixture& mixture) {
  for (int i = 4; i > 0; --i) throttleHistory_[i] = throttleHistory_[i - 1];
  throttleHistory_[0] = tpsVolts;
  const double rise = (throttleHistory_[0] - throttleHistory_[4]) / 0.02;  // in 0.02 V units
  if ((s.options & 0x08) && s.tpsJump > 0 && rise >= s.tpsJump && onGas_) jumpUntil_ = t_ + 0.4;

  double target = s.attInit;
  if (onGas_) {
    if (cutOff_) {
      target = s.attInit - s.attInit * s.cutSteps / 100.0;
    } else if (t_ < jumpUntil_) {
      target = std::min(255, s.attInit + s.attInit * s.attJump / 100);
    } else {
      const double low = idle ? -s.attMinIdle : -s.attMin;
      const double high = idle ? s.attMaxIdle : s.attMax;
      correction_ += (mixture.lean ? 10.0 : mixture.rich ? -10.0 : 0.0) * kStepSeconds;
      const double load = idle ? 0.0 : throttle * s.attMax * 0.6;
      correction_ = std::clamp(correction_, low - load, high - load);
      target = s.attInit + std::clamp(load + correction_, low, high);
    }
  } else {
    correction_ = 0;
  }
  if (actuator_ < 0) actuator_ = target;
  const double travel = 200.0 * kStepSeconds;  // stepper speed, steps a second
  actuator_ += std::clamp(target - actuator_, -travel, travel);
  actuator_ = std::clamp(actuator_, 0.0, 255.0);
}

// Gas level sensor drains slowly while on gas; the level is how many points it is above.
void Car::StepGasLevel(const Memory& m) {
  if (onGas_) gasSensor_ = std::max(0.0, gasSensor_ - kStepSeconds / 20.0);
  int level = 0;
  for (int k = 1; k <= 4; ++k)
    if (gasSensor_ >= m.at(5, k)) ++level;
  gasLevel_ = static_cast<std::uint8_t>(level);
}

// Running time on gas: minutes in Block 5 byte 8, hours in bytes 9 (low) and 10 (high).
void Car::StepRunningTime(Memory& m) {
  if (!onGas_) return;
  gasSeconds_ += kStepSeconds;
  while (gasSeconds_ >= 60.0) {
    gasSeconds_ -= 60.0;
    if (m.pinned[5][8] || m.pinned[5][9] || m.pinned[5][10]) continue;
    int minutes = m.at(5, 8) + 1;
    int hours = m.at(5, 9) | (m.at(5, 10) << 8);
    if (minutes >= 60) {
      minutes = 0;
      hours = std::min(hours + 1, 0xFFFF);
    }
    m.at(5, 8) = static_cast<std::uint8_t>(minutes);
    m.at(5, 9) = static_cast<std::uint8_t>(hours & 0xFF);
    m.at(5, 10) = static_cast<std::uint8_t>(hours >> 8);
  }
}

void Car::Publish(Memory& m) const {
  PublishByte(m, 2, 1, tpsByte_);
  PublishByte(m, 2, 2, lambdaByte_);
  PublishByte(m, 2, 3, ToByte(actuator_ < 0 ? m.at(2, 4) : actuator_));
  const unsigned rpm = this->rpm();
  // A stopped engine reads 0xFFFF; a running one never reaches a high byte of 255.
  const std::uint16_t period = rpm ? std::min<std::uint16_t>(PeriodFromSpeed(rpm), 0xFEFF) : 0xFFFF;
  PublishByte(m, 2, 5, static_cast<std::uint8_t>(period & 0xFF));
  PublishByte(m, 2, 6, static_cast<std::uint8_t>(period >> 8));
  PublishByte(m, 2, 7, statusByte_);
  const int switches = (onGas_ ? 0x01 : 0) | (lpgOff_ ? 0x04 : 0) | (cutOff_ ? 0x08 : 0) |
                       (speedReached_ ? 0x40 : 0) | (tempReached_ ? 0x80 : 0);
  PublishByte(m, 2, 8, static_cast<std::uint8_t>(switches));
  PublishByte(m, 2, 9, temperatureByte_);
  PublishByte(m, 5, 5, gasLevel_);
}

}  // namespace kv::sim
