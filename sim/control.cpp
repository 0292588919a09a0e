#include "control.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kv::sim {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// Decimal, or hexadecimal with 0x; the whole word must be the number.
bool ParseInt(std::string_view word, long lo, long hi, long& value) {
  if (word.empty() || word.size() > 20) return false;
  const std::string s(word);
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
  if (errno != 0 || end == s.c_str() + (hex ? 2 : 0) || *end != '\0') return false;
  if (v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseReal(std::string_view word, double lo, double hi, double& value) {
  if (word.empty() || word.size() > 30) return false;
  const std::string s(word);
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(s.c_str(), &end);
  if (errno != 0 || end == s.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  if (v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseSwitch(std::string_view word, bool& on) {
  if (word == "on") return on = true, true;
  if (word == "off") return on = false, true;
  return false;
}

const char* OnOff(bool on) { return on ? "on" : "off"; }

std::string Number(long v) { return std::to_string(v); }

std::string Status(const Controller& c, const Host& h) {
  const Faults& f = c.faults();
  const Counters& n = c.counters();
  const char* refuse = f.refuse == RefuseMode::On ? "on" : f.refuse == RefuseMode::Off ? "off" : "auto";
  const char* result = c.learnResult() == LearnResult::Ok     ? "ok"
                       : c.learnResult() == LearnResult::Fail ? "fail"
                                                              : "interrupted";
  std::string s = "ok";
  s += " version=" + Number(c.version()) + " revision=" + Number(c.revision());
  s += std::string(" silence=") + OnOff(f.silence) + " marker=" + OnOff(f.marker) +
       " badsum=" + OnOff(f.badsum) + " wrongecho=" + OnOff(f.wrongEcho);
  s += " short=" + (f.shortLength < 0 ? std::string("off") : Number(f.shortLength));
  s += " noecho-after=" + (f.noEchoAfter < 0 ? std::string("off") : Number(f.noEchoAfter));
  std::string muted;
  for (int b = 1; b <= kBlockCount; ++b)
    if (f.noReply[b]) muted += (muted.empty() ? "" : ",") + Number(b);
  s += " noreply=" + (muted.empty() ? std::string("off") : muted);
  s += std::string(" refuse-reset=") + refuse + " static=" + OnOff(c.frozen()) +
       " engine=" + (c.car().running() ? "run" : "stop");
  s += " rpm=" + Number(c.car().rpm()) +
       " temp=" + Number(std::lround(c.car().temperature())) +
       " gas=" + OnOff(c.car().onGas()) + " learning=" + OnOff(c.learning()) +
       " learn-result=" + result + " learn-time=" + Number(static_cast<long>(c.learnDuration() / 1000));
  s += std::string(" pacing=") + OnOff(h.pacing) + " delay=" + Number(static_cast<long>(h.delay / 1000)) +
       " latency=" + Number(static_cast<long>(h.latency / 1000));
  s += " frames=" + Number(static_cast<long>(n.frames)) + " reads=" + Number(static_cast<long>(n.reads)) +
       " writes=" + Number(static_cast<long>(n.writes)) + " acks=" + Number(static_cast<long>(n.acks));
  return s;
}

}  // namespace

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    if (i) s += ' ';
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 15];
  }
  return s;
}

const char* ControlHelp() {
  return "  silence on|off          answer nothing at all (writes are not applied either)\n"
         "  marker on|off           replies and acks start with 0xE5 instead of 0x65\n"
         "  badsum on|off           last byte of every reply and ack one too high\n"
         "  short N|off             send only the first N bytes of every reply and ack\n"
         "  noecho-after N|off      acknowledge N more writes, then neither ack nor apply writes\n"
         "  wrongecho on|off        ack byte 1 is the written value with all bits flipped\n"
         "  noreply B on|off        read request B (1..5) gets no reply; other frames are answered\n"
         "  refuse-reset on|off|auto  Block 2 byte 7 bit 3 held set / held clear / engine running\n"
         "  faults off              every fault switch above back to its default\n"
         "  version V | revision R  identity (Block 1 byte 2); V 1..8, R 0..31\n"
         "  set B K V               Block B byte K = V (payload bytes only; pins live bytes)\n"
         "  get B K                 byte K of Block B as sent now, decimal\n"
         "  unpin B K | unpin all   hand pinned live bytes back to the car model\n"
         "  dump                    all five blocks as sent now, hex\n"
         "  static on|off           freeze or resume the live signals\n"
         "  advance S               move the car model on by S seconds (also while static)\n"
         "  engine run|stop         start or stop the engine\n"
         "  temp C                  set the coolant temperature, degrees Celsius\n"
         "  gas S                   set the raw gas level sensor value 0..255\n"
         "  learn-result ok|fail|interrupted   outcome of the next learning cycles\n"
         "  learn-time MS           length of a learning cycle\n"
         "  delay MS | pacing on|off   reply timing\n"
         "  latency MS              replies pass a USB adapter with this latency timer (0..255;\n"
         "                          0 = a plain serial line)\n"
         "  status                  every switch, counter and a few live values\n"
         "  log-clear               empty the frame log (its clock keeps running)\n"
         "  quit                    stop the simulator\n";
}

namespace {

// One control command as it arrived: its words (the name first) and what it may change.
struct Call {
  Controller& c;
  Host& h;
  std::vector<std::string_view> w;
  Micros now;

  std::string_view cmd() const { return w[0]; }
  std::size_t argc() const { return w.size() - 1; }
  std::string Ok(std::string_view rest) const {
    return "ok " + std::string(cmd()) + " " + std::string(rest);
  }
};

std::string Usage(std::string_view text) { return "error usage: " + std::string(text); }

std::string FaultSwitch(Call& call) {
  bool on = false;
  if (call.argc() != 1 || !ParseSwitch(call.w[1], on))
    return Usage(std::string(call.cmd()) + " on|off");
  Faults& f = call.c.faults();
  const std::string_view cmd = call.cmd();
  if (cmd == "silence") f.silence = on;
  else if (cmd == "marker") f.marker = on;
  else if (cmd == "badsum") f.badsum = on;
  else if (cmd == "wrongecho") f.wrongEcho = on;
  else if (cmd == "static") call.c.SetFrozen(on, call.now);
  else call.h.pacing = on;
  return call.Ok(OnOff(on));
}

std::string FaultCount(Call& call) {
  const std::string usage = std::string(call.cmd()) + " N|off";
  if (call.argc() != 1) return Usage(usage);
  const bool isShort = call.cmd() == "short";
  int& field = isShort ? call.c.faults().shortLength : call.c.faults().noEchoAfter;
  if (call.w[1] == "off") {
    field = -1;
    return call.Ok("off");
  }
  long n = 0;
  if (!ParseInt(call.w[1], 0, isShort ? 255 : 1000000, n)) return Usage(usage);
  field = static_cast<int>(n);
  return call.Ok(Number(n));
}

std::string NoReply(Call& call) {
  long n = 0;
  bool on = false;
  if (call.argc() != 2 || !ParseInt(call.w[1], 1, kBlockCount, n) || !ParseSwitch(call.w[2], on))
    return Usage("noreply B on|off (B 1..5)");
  call.c.faults().noReply[static_cast<std::size_t>(n)] = on;
  return call.Ok(Number(n) + " " + OnOff(on));
}

std::string RefuseReset(Call& call) {
  constexpr const char* kUsage = "refuse-reset on|off|auto";
  if (call.argc() != 1) return Usage(kUsage);
  RefuseMode& refuse = call.c.faults().refuse;
  if (call.w[1] == "on") refuse = RefuseMode::On;
  else if (call.w[1] == "off") refuse = RefuseMode::Off;
  else if (call.w[1] == "auto") refuse = RefuseMode::Auto;
  else return Usage(kUsage);
  return call.Ok(call.w[1]);
}

std::string FaultsOff(Call& call) {
  if (call.argc() != 1 || call.w[1] != "off") return Usage("faults off");
  call.c.ClearFaults();
  return "ok faults off";
}

std::string Identity(Call& call) {
  const bool version = call.cmd() == "version";
  long n = 0;
  if (call.argc() != 1 || !ParseInt(call.w[1], version ? 1 : 0, version ? 8 : 31, n))
    return Usage(version ? "version 1..8" : "revision 0..31");
  if (version) call.c.SetVersion(static_cast<int>(n));
  else call.c.SetRevision(static_cast<int>(n));
  std::uint8_t id = 0;
  call.c.Get(1, 2, id);
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", id);
  return call.Ok(Number(n) + " identity " + hex);
}

std::string SetByte(Call& call) {
  long b = 0, k = 0, v = 0;
  if (call.argc() != 3 || !ParseInt(call.w[1], 1, 5, b) || !ParseInt(call.w[2], 0, 20, k) ||
      !ParseInt(call.w[3], 0, 255, v))
    return Usage("set B K V (B 1..5, K a payload byte, V 0..255)");
  if (!call.c.Set(static_cast<int>(b), static_cast<int>(k), static_cast<std::uint8_t>(v)))
    return "error Block " + Number(b) + " has no payload byte " + Number(k);
  return call.Ok(Number(b) + " " + Number(k) + " " + Number(v));
}

std::string GetByte(Call& call) {
  long b = 0, k = 0;
  std::uint8_t v = 0;
  if (call.argc() != 2 || !ParseInt(call.w[1], 1, 5, b) || !ParseInt(call.w[2], 0, 20, k))
    return Usage("get B K");
  if (!call.c.Get(static_cast<int>(b), static_cast<int>(k), v))
    return "error Block " + Number(b) + " has no byte " + Number(k);
  return "ok " + Number(v);
}

std::string Unpin(Call& call) {
  if (call.argc() == 1 && call.w[1] == "all") {
    call.c.UnpinAll();
    return "ok unpin all";
  }
  long b = 0, k = 0;
  if (call.argc() != 2 || !ParseInt(call.w[1], 1, 5, b) || !ParseInt(call.w[2], 0, 20, k) ||
      !call.c.Unpin(static_cast<int>(b), static_cast<int>(k)))
    return Usage("unpin B K | unpin all");
  return call.Ok(Number(b) + " " + Number(k));
}

std::string Dump(Call& call) {
  if (call.argc() != 0) return Usage("dump");
  std::string s = "ok";
  for (int b = 1; b <= kBlockCount; ++b) {
    const std::vector<std::uint8_t> bytes = call.c.Block(b);
    s += " b" + Number(b) + "=" + HexBytes(bytes.data(), bytes.size());
    if (b < kBlockCount) s += " |";
  }
  return s;
}

std::string Advance(Call& call) {
  double seconds = 0;
  if (call.argc() != 1 || !ParseReal(call.w[1], 0, 86400, seconds))
    return Usage("advance SECONDS (0..86400)");
  call.c.Advance(static_cast<Micros>(seconds * 1e6));
  return call.Ok(call.w[1]);
}

std::string Engine(Call& call) {
  if (call.argc() != 1 || (call.w[1] != "run" && call.w[1] != "stop"))
    return Usage("engine run|stop");
  call.c.SetEngine(call.w[1] == "run", call.now);
  return call.Ok(call.w[1]);
}

std::string Temperature(Call& call) {
  double celsius = 0;
  if (call.argc() != 1 || !ParseReal(call.w[1], -40, 130, celsius))
    return Usage("temp C (-40..130)");
  call.c.SetTemperature(celsius, call.now);
  return call.Ok(call.w[1]);
}

std::string GasSensor(Call& call) {
  long n = 0;
  if (call.argc() != 1 || !ParseInt(call.w[1], 0, 255, n)) return Usage("gas S (0..255)");
  call.c.SetGasSensor(static_cast<double>(n), call.now);
  return call.Ok(Number(n));
}

std::string LearnResultCommand(Call& call) {
  constexpr const char* kUsage = "learn-result ok|fail|interrupted";
  if (call.argc() != 1) return Usage(kUsage);
  if (call.w[1] == "ok") call.c.SetLearnResult(LearnResult::Ok);
  else if (call.w[1] == "fail") call.c.SetLearnResult(LearnResult::Fail);
  else if (call.w[1] == "interrupted") call.c.SetLearnResult(LearnResult::Interrupted);
  else return Usage(kUsage);
  return call.Ok(call.w[1]);
}

// learn-time and delay: a duration in milliseconds.
std::string Milliseconds(Call& call) {
  long n = 0;
  if (call.argc() != 1 || !ParseInt(call.w[1], 0, 600000, n))
    return Usage(std::string(call.cmd()) + " MS");
  if (call.cmd() == "delay") call.h.delay = n * 1000;
  else call.c.SetLearnDuration(n * 1000);
  return call.Ok(Number(n));
}

std::string Latency(Call& call) {
  long n = 0;
  if (call.argc() != 1 || !ParseInt(call.w[1], 0, 255, n)) return Usage("latency MS (0..255)");
  call.h.latency = n * 1000;
  return call.Ok(Number(n));
}

std::string StatusCommand(Call& call) {
  return call.argc() ? Usage("status") : Status(call.c, call.h);
}

std::string LogClear(Call& call) {
  if (call.argc() != 0) return Usage("log-clear");
  if (!call.h.clearLog) return "ok log-clear (no log)";
  return call.h.clearLog() ? "ok log-clear" : "error cannot truncate the frame log";
}

std::string Quit(Call& call) {
  call.h.quit = true;
  return "ok quit";
}

struct Command {
  std::string_view name;
  std::string (*run)(Call&);
};
// In the order `help` lists them.
constexpr Command kCommands[] = {
    {"silence", FaultSwitch},   {"marker", FaultSwitch},      {"badsum", FaultSwitch},
    {"short", FaultCount},      {"noecho-after", FaultCount}, {"wrongecho", FaultSwitch},
    {"noreply", NoReply},       {"refuse-reset", RefuseReset}, {"faults", FaultsOff},
    {"version", Identity},      {"revision", Identity},       {"set", SetByte},
    {"get", GetByte},           {"unpin", Unpin},             {"dump", Dump},
    {"static", FaultSwitch},    {"advance", Advance},         {"engine", Engine},
    {"temp", Temperature},      {"gas", GasSensor},           {"learn-result", LearnResultCommand},
    {"learn-time", Milliseconds}, {"delay", Milliseconds},    {"pacing", FaultSwitch},
    {"latency", Latency},       {"status", StatusCommand},    {"log-clear", LogClear},
    {"quit", Quit},
};

}  // namespace

std::string RunControl(Controller& c, Host& h, std::string_view line, Micros now) {
  c.Tick(now);
  Call call{c, h, Words(line), now};
  if (call.w.empty()) return "error empty command";
  if (call.cmd() == "help") {
    std::string names = "ok commands:";
    for (const Command& command : kCommands) names += " " + std::string(command.name);
    return names;
  }
  for (const Command& command : kCommands)
    if (command.name == call.cmd()) return command.run(call);
  return "error unknown command: " + std::string(call.cmd().substr(0, 40));
}

}  // namespace kv::sim
