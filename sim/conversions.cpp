#include "conversions.h"

#include <algorithm>

namespace kv::sim {

long RoundHalfDown(double x) {
  const long n = static_cast<long>(x);
  return (x - static_cast<double>(n)) * 100.0 > 50.0 ? n + 1 : n;
}

unsigned SpeedFromPeriod(std::uint8_t hi, std::uint8_t lo) {
  const unsigned period = hi * 256u + lo;
  if (period == 0) return 0;
  const unsigned q = 15000000u / period;
  return static_cast<unsigned>(RoundHalfDown(q / 50.0)) * 50u;
}

std::uint16_t PeriodFromSpeed(unsigned rpm) {
  if (rpm == 0) return 0xFFFF;
  return static_cast<std::uint16_t>(std::min(15000000u / rpm, 0xFFFFu));
}

int TemperatureFromRaw(std::uint8_t raw) {
  if (raw < 68) return 0;
  if (raw < 200) return static_cast<int>(RoundHalfDown((raw - 68) / 2.582));
  return static_cast<int>(RoundHalfDown(raw * 1.057 - 160.0));
}

std::uint8_t TemperatureToRaw(int celsius) {
  long raw;
  if (celsius == 0) {
    raw = 68;
  } else if (celsius <= 50) {
    raw = RoundHalfDown(celsius * 2.582 + 68.0);
  } else if (celsius <= 100) {
    raw = RoundHalfDown((celsius + 160) / 1.057);
  } else {
    raw = 245;
  }
  return static_cast<std::uint8_t>(std::clamp(raw, 0L, 255L));
}

}  // namespace kv::sim
