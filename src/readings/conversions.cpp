#include "readings/conversions.h"

#include <cstdio>

namespace kv {

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
