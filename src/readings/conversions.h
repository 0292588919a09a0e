// Small conversions of controller bytes into engine speed and temperature, shared by the drawn
// and list panels.
#pragma once

#include <string>

#include "link/parameters.h"

namespace kv {

// Truncates toward zero, then rounds up only when the fraction is above one half (x 100 > 50).
long RoundHalfDown(double x);
// Engine speed in rpm (a multiple of 50) from the 16-bit period high:low; period 0 gives 0.
unsigned long SpeedFromPeriod(unsigned high, unsigned low);
// Engine speed in rpm from Block 2's period bytes; a high byte of 255 (the engine stands)
// gives 0.
long EngineSpeed(const MemoryImage& image);
// A switching speed the controller keeps as a period in two parameters, low and high byte.
unsigned long SpeedParameter(const MemoryImage& image, Param low, Param high);
// Coolant temperature in degrees Celsius from the raw byte.
long TemperatureFromRaw(unsigned raw);
// The raw byte of a temperature; the inverse of TemperatureFromRaw on 0..100.
unsigned TemperatureToRaw(long celsius);
// At least two digits, the temperature clamped to 0..100.
std::string TemperatureText(unsigned raw);
// A raw voltage byte in volts: byte x 196 / 10000.
inline double ByteVolts(unsigned byte) { return byte * 196 / 10000.0; }
// "%f" cut to four characters: d.dd, truncated.
std::string VoltsText(double volts);
// Zero-padded to `digits` and cut to `digits` characters ("%03d" of 45 is 045, of 12350 with
// four digits 1235).
std::string DigitsText(long value, int digits);
// Bits 15..8.
inline unsigned HighByte(unsigned long x) { return static_cast<unsigned>((x >> 8) & 0xFF); }

}  // namespace kv
