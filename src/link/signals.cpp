#include "link/signals.h"

namespace kv {

long RoundHalfDown(double x) {
  const long n = static_cast<long>(x);
  return (x - static_cast<double>(n)) * 100 > 50 ? n + 1 : n;
}

unsigned long SpeedFromPeriod(unsigned high, unsigned low) {
  const unsigned long period = (high & 0xFFu) * 256u + (low & 0xFFu);
  if (period == 0) return 0;
  const unsigned long q = 15000000ul / period;
  return static_cast<unsigned long>(RoundHalfDown(static_cast<double>(q) / 50.0)) * 50ul;
}

unsigned long PeriodFromSpeed(unsigned long rpm) { return rpm == 0 ? 0 : 15000000UL / rpm; }

long EngineSpeed(const MemoryImage& image) {
  const unsigned high = Get(image, bytes::PeriodHi);
  return high == 255 ? 0 : static_cast<long>(SpeedFromPeriod(high, Get(image, bytes::PeriodLo)));
}

unsigned long SpeedParameter(const MemoryImage& image, Param low, Param high) {
  return SpeedFromPeriod(Get(image, high), Get(image, low));
}

long TemperatureFromRaw(unsigned raw) {
  raw &= 0xFFu;
  if (raw < 68) return 0;
  if (raw < 200) return RoundHalfDown((raw - 68) / 2.582);
  return RoundHalfDown(raw * 1.057 - 160);
}

unsigned TemperatureToRaw(long t) {
  if (t == 0) return 68;
  if (t > 100) return 245;
  if (t <= 50) {
    // Below 0 the formula runs below 68 and toward 0; a byte cannot go under 0.
    const long raw = RoundHalfDown(t * 2.582 + 68);
    return raw < 0 ? 0u : static_cast<unsigned>(raw);
  }
  return static_cast<unsigned>(RoundHalfDown((t + 160) / 1.057));
}

long LambdaVolts(std::uint8_t lambdaType, std::uint8_t lambda) {
  const int probeType = LambdaProbeType(lambdaType);
  const long volts = VoltsOfByte(lambda);
  return probeType == 3 || probeType == 4 ? kFiveVolts - volts : volts;
}

long LambdaVolts(const MemoryImage& image) {
  return LambdaVolts(Get(image, Param::LambdaType), Get(image, bytes::Lambda));
}

ThrottleReading DecodeThrottle(std::uint8_t lambdaType, std::uint8_t tps, bool switchOpen) {
  switch (TpsCode(lambdaType)) {
    case 1: return {ThrottleReading::Volts, kFiveVolts - VoltsOfByte(tps), false};
    case 2:
    case 3: return {ThrottleReading::None, 0, false};
    case 6:
    case 7: return {ThrottleReading::Switch, 0, !switchOpen};
    default: return {ThrottleReading::Volts, VoltsOfByte(tps), false};
  }
}

ThrottleReading DecodeThrottle(const MemoryImage& image) {
  return DecodeThrottle(Get(image, Param::LambdaType), Get(image, bytes::Tps),
                        ThrottleSwitchOpen(Get(image, bytes::Status)));
}

bool ThrottleSwitchOpen(std::uint8_t status) { return Has(status, bits::status::ThrottleSwitchOpen); }

bool ThrottleTraceInverted(std::uint8_t lambdaType) {
  const auto code = static_cast<std::uint8_t>(TpsCode(lambdaType));
  return Has(code, bits::tps_code::ReadsDown) && !HasAll(code, bits::tps_code::Switch);
}

int ThrottleLamp(std::uint8_t status) {
  const int lamps = FieldOf(status, bits::status::ThrottleLamps);
  switch (lamps) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 8: return 4;
    default: return 0;
  }
}

int LambdaState(std::uint8_t status) { return FieldOf(status, bits::status::LambdaState); }

int TpsSensorItem(int code) {
  if (code <= 1) return code;
  if (code <= 5) return 2;
  if (code == 6) return 3;
  if (code == 7) return 4;
  return 5;
}

int GasSensorTypeIndex(std::uint8_t options) {
  using namespace bits::options;
  if (Has(options, GasSensorFixed)) return 0;
  return Has(options, GasSensorSecond) ? 1 : 2;
}

std::uint8_t GasSensorTypeBits(int type) {
  using namespace bits::options;
  return type == 0 ? GasSensorFixed : type == 1 ? GasSensorSecond : 0;
}

int TpsJumpFiftieths(std::uint8_t lambdaType, std::uint8_t tpsJump) {
  return TpsCode(lambdaType) == 1 ? 250 - tpsJump : tpsJump;
}

std::uint8_t TpsJumpByte(std::uint8_t lambdaType, int fiftieths) {
  return static_cast<std::uint8_t>(TpsCode(lambdaType) == 1 ? 250 - fiftieths : fiftieths);
}

}  // namespace kv
