// The texts the panels and the command line show decoded values in.
#pragma once

#include <string>
#include <vector>

#include "link/memory_image.h"
#include "link/signals.h"

namespace kv {

// At least two digits, the temperature clamped to 0..100.
std::string TemperatureText(unsigned raw);
// "%f" cut to four characters: d.dd, truncated.
std::string VoltsText(double volts);
// Zero-padded to `digits` and cut to `digits` characters ("%03d" of 45 is 045, of 12350 with
// four digits 1235).
std::string DigitsText(long value, int digits);

// The items of the lambda probe type list (the type is the high nibble of LambdaType).
inline constexpr const char* kProbeTypeNames[] = {"0-1 V",   "0-5 V -", "0-5 V +",
                                                  "5-0 V -", "5-0 V +", "0,8-1,6 V"};
// The lambda point list of a probe type: 0,40..0,60 for type 0, 1,00..1,30 for type 5 and
// 2:00..3:00 (volts with a colon) for the 0-5 V types.
std::vector<std::string> LambdaPointItems(int probeType);

// The text of an actuator correction value: "+6" above zero, "-6" below, a bare "0".
std::string CorrectionText(long value);

// The shown forms of the service record. The installation year counts from kFirstYear.
inline constexpr int kFirstYear = 2000;
std::string ControllerVersionText(int version, int revision);  // "3.05", single precision
std::string RunningTimeText(const MemoryImage& image);          // "1234h5'"
std::string InstallationDateText(const MemoryImage& image);     // "2005-11-15", not validated

}  // namespace kv
