// What the controller's live signals and the settings read with them mean: lambda and throttle
// volts, the throttle lamp, the engine speed, temperatures. The readings panel, the oscilloscope,
// the options panel and the command line decode through these and nothing else. Volts are kept
// in integer units (ten-thousandths, hundredths) so the command line prints exact digits; the
// panels format the same numbers.
#pragma once

#include <cstdint>

#include "link/parameters.h"

namespace kv {

// Truncates toward zero, then rounds up only when the fraction is above one half (x 100 > 50).
long RoundHalfDown(double x);

// Engine speed in rpm (a multiple of 50) from the 16-bit period high:low; period 0 gives 0.
unsigned long SpeedFromPeriod(unsigned high, unsigned low);
// The period the controller stores for an engine speed (0 for 0).
unsigned long PeriodFromSpeed(unsigned long rpm);
// Engine speed in rpm from Block 2's period bytes; a high byte of 255 (the engine stands)
// gives 0.
long EngineSpeed(const MemoryImage& image);
// A switching speed the controller keeps as a period in two parameters, low and high byte.
unsigned long SpeedParameter(const MemoryImage& image, Param low, Param high);
// Bits 15..8.
constexpr unsigned HighByte(unsigned long x) { return static_cast<unsigned>((x >> 8) & 0xFF); }

// Coolant temperature in degrees Celsius from the raw byte.
long TemperatureFromRaw(unsigned raw);
// The raw byte of a temperature; the inverse of TemperatureFromRaw on 0..100.
unsigned TemperatureToRaw(long celsius);

// A voltage byte is byte x 196 / 10000 V: exact in ten-thousandths of a volt.
inline constexpr long kFiveVolts = 50000;
constexpr long VoltsOfByte(unsigned byte) { return 196L * static_cast<long>(byte & 0xFFu); }
// Ten-thousandths (or hundredths) of a volt as a double, for the panels' "%f".
constexpr double Volts(long tenThousandths) { return static_cast<double>(tenThousandths) / 10000.0; }

// The lambda probe's voltage; the 5-0 V probes (types 3 and 4) read down from 5 V.
long LambdaVolts(std::uint8_t lambdaType, std::uint8_t lambda);
long LambdaVolts(const MemoryImage& image);

// The throttle sensor by its code: a voltage (read down from 5 V for code 1), no reading at all
// for codes 2 and 3, or a switch for codes 6 and 7 that is on while the status's switch bit is
// clear.
struct ThrottleReading {
  enum Kind { Volts, None, Switch } kind = Volts;
  long volts = 0;      // ten-thousandths, for Volts
  bool on = false;     // for Switch
};
ThrottleReading DecodeThrottle(std::uint8_t lambdaType, std::uint8_t tps, bool switchOpen);
ThrottleReading DecodeThrottle(const MemoryImage& image);
bool ThrottleSwitchOpen(std::uint8_t status);
// The oscilloscope's throttle trace has a rule of its own: it is drawn upside down for every
// code with bit 0 set that does not have all of bits 0..2 set (1, 3, 5, 9, 11, 13).
bool ThrottleTraceInverted(std::uint8_t lambdaType);

// The throttle position lamp 1..4 lit by the status, or 0: exactly one of bits 7..4 lights its
// lamp, none or several light none.
int ThrottleLamp(std::uint8_t status);
// The lambda state of the status, 0..7.
int LambdaState(std::uint8_t status);
// The item of the six-item TPS sensor list a code shows: codes 2..5 share item 2, codes 8..15
// item 5. Language texts kTpsSensorFirstText and on name the items.
int TpsSensorItem(int tpsCode);
inline constexpr int kTpsSensorFirstText = 84;

// The TPS jump threshold in fiftieths of a volt; for an inverted sensor (code 1) the byte counts
// down from 250. And the byte that stores a threshold.
int TpsJumpFiftieths(std::uint8_t lambdaType, std::uint8_t tpsJump);
std::uint8_t TpsJumpByte(std::uint8_t lambdaType, int fiftieths);

// The TPS inertia in hundredths of a volt: byte x 2 + 2.
constexpr long TpsInertHundredths(std::uint8_t tpsInert) { return 2L * tpsInert + 2; }

// The gas level sensor type as the options panel and the sensor dialog show it: 0 no sensor
// (Options bit 0), 1 and 2 the programmable types (bit 7 set, or both clear); and the Options
// bits of a type.
// The language texts naming the gas level sensor types (GasSensorTypeIndex), from here on.
inline constexpr int kGasSensorTypeFirstText = 181;
int GasSensorTypeIndex(std::uint8_t options);
std::uint8_t GasSensorTypeBits(int type);

// The actuator's position in steps, and its base position.
inline int ActuatorSteps(const MemoryImage& image) { return Get(image, bytes::Actuator); }
inline int AttInitSteps(const MemoryImage& image) { return Get(image, bytes::AttInit); }

// Block 2 byte 8 bit 0.
inline bool RunningOnGas(const MemoryImage& image) {
  return Has(image, bytes::Switches, bits::switches::OnGas);
}
// Block 2 byte 7 bit 3.
inline bool IsOperating(const MemoryImage& image) {
  return Has(image, bytes::Status, bits::status::Operating);
}

}  // namespace kv
