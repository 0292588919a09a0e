// The texts the drawn panels and the command line show decoded values in.
#pragma once

#include <string>

#include "link/signals.h"

namespace kv {

// At least two digits, the temperature clamped to 0..100.
std::string TemperatureText(unsigned raw);
// "%f" cut to four characters: d.dd, truncated.
std::string VoltsText(double volts);
// Zero-padded to `digits` and cut to `digits` characters ("%03d" of 45 is 045, of 12350 with
// four digits 1235).
std::string DigitsText(long value, int digits);

}  // namespace kv
