#include "live.h"

#include <cstdio>

#include "link/parameters.h"
#include "link/value_texts.h"

namespace kv::cli {
namespace {

// A raw voltage byte is byte x 196 / 10000 V: exact with four decimals.
std::string TenThousandths(long v) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld.%04ld", v / 10000, v % 10000);
  return text;
}

std::string Bit(std::uint8_t byte, std::uint8_t bit) { return Has(byte, bit) ? "1" : "0"; }

// The panels' switch text without its leading blank; empty for a sensor that is no switch.
std::string SwitchText(const ThrottleReading& throttle) {
  if (throttle.kind != ThrottleReading::Switch) return {};
  return throttle.on ? "ON" : "OFF";
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
  using namespace bits::switches;
  const std::uint8_t status = Get(m, bytes::Status), sw = Get(m, bytes::Switches);
  const ThrottleReading throttle = DecodeThrottle(m);
  return {TenThousandths(LambdaVolts(m)),
          throttle.kind == ThrottleReading::Volts ? TenThousandths(throttle.volts) : std::string(),
          SwitchText(throttle),
          std::to_string(ActuatorSteps(m)),
          std::to_string(AttInitSteps(m)),
          std::to_string(EngineSpeed(m)),
          std::to_string(TemperatureFromRaw(Get(m, bytes::Temperature))),
          Bit(sw, OnGas), Bit(sw, Learning), Bit(sw, LpgOff), Bit(sw, CutOff),
          Bit(sw, LearnFinished), Bit(sw, LearnFailed), Bit(sw, SpeedReached),
          Bit(sw, TemperatureReached),
          std::to_string(LambdaState(status)),
          std::to_string(ThrottleLamp(status)),
          Bit(status, bits::status::Operating)};
}

std::string DateTimeText(const LocalTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

std::string WatchLine(const MemoryImage& m) {
  using namespace bits::switches;
  const std::uint8_t sw = Get(m, bytes::Switches);
  // The panel's d.dd: volts truncated to two decimals.
  auto volts = [](long scaled) { return VoltsText(Volts(scaled)); };
  const ThrottleReading throttle = DecodeThrottle(m);
  std::string tps = throttle.kind == ThrottleReading::Volts ? volts(throttle.volts) + " V"
                                                            : SwitchText(throttle);
  if (tps.empty()) tps = "_.__";
  char line[200];
  std::snprintf(line, sizeof line,
                "%-6s | lambda %s V | TPS %s | actuator %3d (base %3d) | %5ld rpm | %3ld °C",
                RunningOnGas(m) ? "LPG" : "PETROL", volts(LambdaVolts(m)).c_str(), tps.c_str(),
                ActuatorSteps(m), AttInitSteps(m), EngineSpeed(m),
                TemperatureFromRaw(Get(m, bytes::Temperature)));
  std::string out = line;
  if (Has(sw, Learning)) out += " | learning";
  if (Has(sw, LpgOff)) out += " | LPG OFF";
  if (Has(sw, CutOff)) out += " | CUT-OFF";
  if (!IsOperating(m)) out += " | engine not running";
  return out;
}

}  // namespace kv::cli
