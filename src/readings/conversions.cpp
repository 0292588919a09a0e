#include "readings/conversions.h"

#include <cstdio>

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

std::string TemperatureText(unsigned raw) {
  long t = TemperatureFromRaw(raw);
  if (t > 100) t = 100;
  char text[24];
  std::snprintf(text, sizeof text, "%02ld", t);
  return text;
}

std::string VoltsText(double volts) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", volts);
  text[4] = '\0';
  return text;
}

std::string DigitsText(long value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld", digits, value);
  std::string out = text;
  if (out.size() > static_cast<std::size_t>(digits)) out.resize(static_cast<std::size_t>(digits));
  return out;
}

}  // namespace kv
