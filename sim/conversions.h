// Unit conversions the controller shares with the service program: engine-speed periods and the
// coolant temperature byte. The simulator encodes with these so the program decodes what we meant.
#pragma once

#include <cstdint>

namespace kv::sim {

// Truncates toward zero, then rounds up only when the fraction is above one half.
long RoundHalfDown(double x);

// Engine speed in rpm of a 16-bit period (hi:lo); 0 for period 0. Always a multiple of 50.
unsigned SpeedFromPeriod(std::uint8_t hi, std::uint8_t lo);

// Period of an engine speed, 15000000 div rpm, limited to 16 bits; 0xFFFF for rpm 0.
std::uint16_t PeriodFromSpeed(unsigned rpm);

// Raw coolant byte to degrees Celsius (0 below 68).
int TemperatureFromRaw(std::uint8_t raw);

// Degrees Celsius to the raw coolant byte; the inverse of TemperatureFromRaw on 0..100.
std::uint8_t TemperatureToRaw(int celsius);

}  // namespace kv::sim
