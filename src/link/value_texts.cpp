#include "link/value_texts.h"

#include <cstdio>

#include "link/format.h"
#include "link/parameters.h"

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

std::vector<std::string> LambdaPointItems(int probeType) {
  std::vector<std::string> items;
  if (probeType == 0) {
    for (long i = 0; i <= 10; ++i) items.push_back(FormatText("0,%ld", 40 + 2 * i));
  } else if (probeType == 5) {
    for (long i = 0; i <= 15; ++i) items.push_back(FormatText("1,%02ld", 2 * i));
  } else {
    // The 0-5 V probes show volts with a colon: 2:54 stands for 2.54 V.
    for (long i = 0; i <= 50; ++i)
      items.push_back(FormatText("%ld:%02ld", 2 + i / 50, (2 * i) % 100));
  }
  return items;
}

std::string CorrectionText(long value) {
  char text[16];
  std::snprintf(text, sizeof text, value > 0 ? "+%ld" : "%ld", value);
  return text;
}

std::string ControllerVersionText(int version, int revision) {
  const float shown = static_cast<float>(version * 100 + revision) / 100.0f;
  return FormatText("%.2f", static_cast<double>(shown));
}

std::string RunningTimeText(const MemoryImage& image) {
  const long hours = static_cast<long>(Word(image, Param::LpgHoursLo, Param::LpgHoursHi));
  return FormatText("%ldh%ld'", hours, static_cast<long>(Get(image, Param::LpgMinutes)));
}

std::string InstallationDateText(const MemoryImage& image) {
  using namespace bits::install_date;
  const std::uint8_t low = Get(image, Param::InstallDateLo);
  const std::uint8_t high = Get(image, Param::InstallDateHi);
  const long year = FieldOf(high, Year) + kFirstYear;
  const long month = FieldOf(low, MonthLow) + 8 * FieldOf(high, MonthHigh) + 1;
  const long day = FieldOf(low, Day) + 1;
  return FormatText("%04ld-%02ld-%02ld", year, month, day);
}

}  // namespace kv
