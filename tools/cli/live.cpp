#include "live.h"

#include <cstdio>

#include "link/parameters.h"
#include "readings/conversions.h"

namespace kv::cli {
namespace {

// A raw voltage byte is byte x 196 / 10000 V: exact with four decimals.
std::string TenThousandths(long v) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld.%04ld", v / 10000, v % 10000);
  return text;
}

std::string Bit(std::uint8_t byte, int bit) { return ((byte >> bit) & 1) ? "1" : "0"; }

int ProbeType(const MemoryImage& m) { return LambdaProbeType(Get(m, Param::LambdaType)); }
int Tps(const MemoryImage& m) { return TpsCode(Get(m, Param::LambdaType)); }

// The lambda voltage; the 5-0 V probes (types 3 and 4) read downward from 5 V.
long LambdaScaled(const MemoryImage& m) {
  const long v = 196L * Get(m, bytes::Lambda);
  return ProbeType(m) == 3 || ProbeType(m) == 4 ? 50000 - v : v;
}

// The TPS voltage; an inverted sensor (code 1) reads from 5 V down; throttle switches (codes 2,
// 3, 6 and 7) have none.
bool TpsHasVoltage(const MemoryImage& m) { return !IsSwitchTps(Tps(m)); }
long TpsScaled(const MemoryImage& m) {
  const long v = 196L * Get(m, bytes::Tps);
  return Tps(m) == 1 ? 50000 - v : v;
}

// Codes 6 and 7 show the throttle switch: "ON" while bit 4 of the status is clear.
std::string TpsSwitch(const MemoryImage& m) {
  if (Tps(m) != 6 && Tps(m) != 7) return {};
  return (Get(m, bytes::Status) & 0x10) ? "OFF" : "ON";
}

// Exactly one of bits 7..4 lights its lamp; none or several light none.
int TpsLamp(const MemoryImage& m) {
  switch (Get(m, bytes::Status) & 0xF0) {
    case 0x10: return 1;
    case 0x20: return 2;
    case 0x40: return 3;
    case 0x80: return 4;
    default: return 0;
  }
}

}  // namespace

const std::vector<std::string>& LiveColumnNames() {
  static const std::vector<std::string> names{
      "lambda_V",      "tps_V",          "tps_switch",         "actuator_steps",
      "att_init_steps", "engine_rpm",    "temperature_C",      "on_gas",
      "learning",      "lpg_off",        "cut_off",            "learn_finished",
      "learn_failed",  "speed_reached",  "temperature_reached", "lambda_state",
      "tps_lamp",      "engine_running"};
  return names;
}

const std::vector<std::string>& LiveColumnUnits() {
  static const std::vector<std::string> units{
      "V",     "V",     "",      "steps", "steps", "rpm",  "degC", "0/1", "0/1",
      "0/1",   "0/1",   "0/1",   "0/1",   "0/1",   "0/1",  "0..7", "0..4", "0/1"};
  return units;
}

std::vector<std::string> LiveValues(const MemoryImage& m) {
  const std::uint8_t status = Get(m, bytes::Status), sw = Get(m, bytes::Switches);
  return {TenThousandths(LambdaScaled(m)),
          TpsHasVoltage(m) ? TenThousandths(TpsScaled(m)) : std::string(),
          TpsSwitch(m),
          std::to_string(Get(m, bytes::Actuator)),
          std::to_string(Get(m, bytes::AttInit)),
          std::to_string(EngineSpeed(m)),
          std::to_string(TemperatureFromRaw(Get(m, bytes::Temperature))),
          Bit(sw, 0), Bit(sw, 1), Bit(sw, 2), Bit(sw, 3), Bit(sw, 4), Bit(sw, 5), Bit(sw, 6),
          Bit(sw, 7),
          std::to_string(status & 0x07),
          std::to_string(TpsLamp(m)),
          Bit(status, 3)};
}

bool OnGas(const MemoryImage& image) { return (Get(image, bytes::Switches) & 0x01) != 0; }

std::string DateTimeText(const LocalTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

std::string WatchLine(const MemoryImage& m) {
  const std::uint8_t sw = Get(m, bytes::Switches);
  // The panel's d.dd: volts truncated to two decimals.
  auto volts = [](long scaled) { return VoltsText(static_cast<double>(scaled) / 10000.0); };
  std::string tps = TpsHasVoltage(m) ? volts(TpsScaled(m)) + " V" : TpsSwitch(m);
  if (tps.empty()) tps = "_.__";
  char line[200];
  std::snprintf(line, sizeof line,
                "%-6s | lambda %s V | TPS %s | actuator %3u (base %3u) | %5ld rpm | %3ld °C",
                (sw & 1) ? "LPG" : "PETROL", volts(LambdaScaled(m)).c_str(), tps.c_str(),
                unsigned{Get(m, bytes::Actuator)}, unsigned{Get(m, bytes::AttInit)},
                EngineSpeed(m), TemperatureFromRaw(Get(m, bytes::Temperature)));
  std::string out = line;
  if (sw & 0x02) out += " | learning";
  if (sw & 0x04) out += " | LPG OFF";
  if (sw & 0x08) out += " | CUT-OFF";
  if (!(Get(m, bytes::Status) & 0x08)) out += " | engine not running";
  return out;
}

}  // namespace kv::cli
