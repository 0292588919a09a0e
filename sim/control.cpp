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

std::string RunControl(Controller& c, Host& h, std::string_view line, Micros now) {
  c.Tick(now);
  const std::vector<std::string_view> w = Words(line);
  if (w.empty()) return "error empty command";
  const std::string_view cmd = w[0];
  const std::size_t argc = w.size() - 1;
  Faults& f = c.faults();
  long n = 0;
  bool on = false;
  auto usage = [&](const char* text) { return std::string("error usage: ") + text; };

  if (cmd == "silence" || cmd == "marker" || cmd == "badsum" || cmd == "wrongecho" ||
      cmd == "static" || cmd == "pacing") {
    if (argc != 1 || !ParseSwitch(w[1], on)) return usage((std::string(cmd) + " on|off").c_str());
    if (cmd == "silence") f.silence = on;
    else if (cmd == "marker") f.marker = on;
    else if (cmd == "badsum") f.badsum = on;
    else if (cmd == "wrongecho") f.wrongEcho = on;
    else if (cmd == "static") c.SetFrozen(on, now);
    else h.pacing = on;
    return std::string("ok ") + std::string(cmd) + " " + OnOff(on);
  }
  if (cmd == "short" || cmd == "noecho-after") {
    if (argc != 1) return usage((std::string(cmd) + " N|off").c_str());
    int& field = cmd == "short" ? f.shortLength : f.noEchoAfter;
    if (w[1] == "off") {
      field = -1;
      return std::string("ok ") + std::string(cmd) + " off";
    }
    if (!ParseInt(w[1], 0, cmd == "short" ? 255 : 1000000, n))
      return usage((std::string(cmd) + " N|off").c_str());
    field = static_cast<int>(n);
    return std::string("ok ") + std::string(cmd) + " " + Number(n);
  }
  if (cmd == "noreply") {
    if (argc != 2 || !ParseInt(w[1], 1, kBlockCount, n) || !ParseSwitch(w[2], on))
      return usage("noreply B on|off (B 1..5)");
    f.noReply[static_cast<std::size_t>(n)] = on;
    return "ok noreply " + Number(n) + " " + OnOff(on);
  }
  if (cmd == "refuse-reset") {
    if (argc != 1) return usage("refuse-reset on|off|auto");
    if (w[1] == "on") f.refuse = RefuseMode::On;
    else if (w[1] == "off") f.refuse = RefuseMode::Off;
    else if (w[1] == "auto") f.refuse = RefuseMode::Auto;
    else return usage("refuse-reset on|off|auto");
    return "ok refuse-reset " + std::string(w[1]);
  }
  if (cmd == "faults") {
    if (argc != 1 || w[1] != "off") return usage("faults off");
    c.ClearFaults();
    return "ok faults off";
  }
  if (cmd == "version" || cmd == "revision") {
    const bool version = cmd == "version";
    if (argc != 1 || !ParseInt(w[1], version ? 1 : 0, version ? 8 : 31, n))
      return usage(version ? "version 1..8" : "revision 0..31");
    if (version) c.SetVersion(static_cast<int>(n));
    else c.SetRevision(static_cast<int>(n));
    std::uint8_t id = 0;
    c.Get(1, 2, id);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", id);
    return std::string("ok ") + std::string(cmd) + " " + Number(n) + " identity " + hex;
  }
  if (cmd == "set") {
    long b = 0, k = 0, v = 0;
    if (argc != 3 || !ParseInt(w[1], 1, 5, b) || !ParseInt(w[2], 0, 20, k) || !ParseInt(w[3], 0, 255, v))
      return usage("set B K V (B 1..5, K a payload byte, V 0..255)");
    if (!c.Set(static_cast<int>(b), static_cast<int>(k), static_cast<std::uint8_t>(v)))
      return "error Block " + Number(b) + " has no payload byte " + Number(k);
    return "ok set " + Number(b) + " " + Number(k) + " " + Number(v);
  }
  if (cmd == "get") {
    long b = 0, k = 0;
    std::uint8_t v = 0;
    if (argc != 2 || !ParseInt(w[1], 1, 5, b) || !ParseInt(w[2], 0, 20, k))
      return usage("get B K");
    if (!c.Get(static_cast<int>(b), static_cast<int>(k), v))
      return "error Block " + Number(b) + " has no byte " + Number(k);
    return "ok " + Number(v);
  }
  if (cmd == "unpin") {
    long b = 0, k = 0;
    if (argc == 1 && w[1] == "all") {
      c.UnpinAll();
      return "ok unpin all";
    }
    if (argc != 2 || !ParseInt(w[1], 1, 5, b) || !ParseInt(w[2], 0, 20, k) ||
        !c.Unpin(static_cast<int>(b), static_cast<int>(k)))
      return usage("unpin B K | unpin all");
    return "ok unpin " + Number(b) + " " + Number(k);
  }
  if (cmd == "dump") {
    if (argc != 0) return usage("dump");
    std::string s = "ok";
    for (int b = 1; b <= kBlockCount; ++b) {
      const std::vector<std::uint8_t> bytes = c.Block(b);
      s += " b" + Number(b) + "=" + HexBytes(bytes.data(), bytes.size());
      if (b < kBlockCount) s += " |";
    }
    return s;
  }
  if (cmd == "advance") {
    double seconds = 0;
    if (argc != 1 || !ParseReal(w[1], 0, 86400, seconds)) return usage("advance SECONDS (0..86400)");
    c.Advance(static_cast<Micros>(seconds * 1e6));
    return "ok advance " + std::string(w[1]);
  }
  if (cmd == "engine") {
    if (argc != 1 || (w[1] != "run" && w[1] != "stop")) return usage("engine run|stop");
    c.SetEngine(w[1] == "run", now);
    return "ok engine " + std::string(w[1]);
  }
  if (cmd == "temp") {
    double celsius = 0;
    if (argc != 1 || !ParseReal(w[1], -40, 130, celsius)) return usage("temp C (-40..130)");
    c.SetTemperature(celsius, now);
    return "ok temp " + std::string(w[1]);
  }
  if (cmd == "gas") {
    if (argc != 1 || !ParseInt(w[1], 0, 255, n)) return usage("gas S (0..255)");
    c.SetGasSensor(static_cast<double>(n), now);
    return "ok gas " + Number(n);
  }
  if (cmd == "learn-result") {
    if (argc != 1) return usage("learn-result ok|fail|interrupted");
    if (w[1] == "ok") c.SetLearnResult(LearnResult::Ok);
    else if (w[1] == "fail") c.SetLearnResult(LearnResult::Fail);
    else if (w[1] == "interrupted") c.SetLearnResult(LearnResult::Interrupted);
    else return usage("learn-result ok|fail|interrupted");
    return "ok learn-result " + std::string(w[1]);
  }
  if (cmd == "learn-time" || cmd == "delay") {
    if (argc != 1 || !ParseInt(w[1], 0, 600000, n)) return usage((std::string(cmd) + " MS").c_str());
    if (cmd == "delay") h.delay = n * 1000;
    else c.SetLearnDuration(n * 1000);
    return std::string("ok ") + std::string(cmd) + " " + Number(n);
  }
  if (cmd == "latency") {
    if (argc != 1 || !ParseInt(w[1], 0, 255, n)) return usage("latency MS (0..255)");
    h.latency = n * 1000;
    return "ok latency " + Number(n);
  }
  if (cmd == "status") return argc ? usage("status") : Status(c, h);
  if (cmd == "log-clear") {
    if (argc != 0) return usage("log-clear");
    if (!h.clearLog) return "ok log-clear (no log)";
    return h.clearLog() ? "ok log-clear" : "error cannot truncate the frame log";
  }
  if (cmd == "quit") {
    h.quit = true;
    return "ok quit";
  }
  if (cmd == "help") return "ok commands: silence marker badsum short noecho-after wrongecho noreply "
                            "refuse-reset faults version revision set get unpin dump static "
                            "advance engine temp gas learn-result learn-time delay pacing latency status "
                            "log-clear quit";
  return "error unknown command: " + std::string(cmd.substr(0, 40));
}

}  // namespace kv::sim
