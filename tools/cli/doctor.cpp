// doctor: the line checked stage by stage, each stage timed, the first failing one named.
#include <chrono>
#include <cstdio>

#include "commands.h"
#include "controller.h"
#include "decode.h"
#include "latency.h"

namespace kv::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

std::string HexBytes(const Bytes& bytes) { return cli::HexBytes(bytes.data(), bytes.size()); }

class Report {
 public:
  explicit Report(Context& c) : c_(c) {}

  void Start() { started_ = Clock::now(); }
  long Elapsed() const {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_).count());
  }
  void Pass(int stage, const char* what, const std::string& detail = {}) {
    Line(stage, what, "ok", detail);
  }
  void Slow(int stage, const char* what, const std::string& detail) {
    Line(stage, what, "slow", detail);
  }
  int Failure(int stage, const char* what, int code, const std::string& why) {
    Line(stage, what, "FAILED", {});
    c_.out << "      " << why << "\n";
    return Fail(c_, code, "the line fails at stage " + std::to_string(stage) + ": " + what);
  }

 private:
  void Line(int stage, const char* what, const char* verdict, const std::string& detail) {
    char text[200];
    std::snprintf(text, sizeof text, "  %d %-32s %-6s %5ld ms", stage, what, verdict, Elapsed());
    c_.out << text << (detail.empty() ? "" : "  " + detail) << "\n" << std::flush;
  }

  Context& c_;
  Clock::time_point started_ = Clock::now();
};

constexpr std::uint8_t kIdentification[4] = {0x65, 0x01, 0x01, 0x67};

bool StartsWithRequest(const Bytes& bytes) {
  return bytes.size() >= 4 && std::equal(kIdentification, kIdentification + 4, bytes.begin());
}

// Stages 3 to 5 on what came back after one identification request.
int CheckReply(Report& r, const Bytes& got) {
  Bytes reply = got;
  if (StartsWithRequest(got)) {
    const bool more = got.size() > 4;
    return r.Failure(3, "no echo of our request", kExitNoAnswer,
                     more ? "the adapter echoes what we send, then the controller answers (" +
                                HexBytes(Bytes(got.begin() + 4, got.end())) +
                                "); the program would read the echo as the reply: use an "
                                "adapter (or a setting of it) without echo"
                          : "what came back is our own request: the adapter echoes what we "
                            "send and nothing answers after it (or a controller of version "
                            "1.01 answered)");
  }
  r.Pass(3, "no echo of our request");
  if (reply.size() < 4)
    return r.Failure(4, "the reply is a valid frame", kExitNoAnswer,
                     "only " + std::to_string(reply.size()) + " of the 4 bytes came back (" +
                         HexBytes(reply) + "): a loose contact or the wrong device");
  reply.resize(4);
  if (reply[0] != kMarker)
    return r.Failure(4, "the reply is a valid frame", kExitNoAnswer,
                     "the reply " + HexBytes(reply) + " does not start with 65: another "
                     "device, another speed than 9600 baud, or noise on the line");
  if (FrameChecksum(reply.data(), 3) != reply[3])
    return r.Failure(4, "the reply is a valid frame", kExitNoAnswer,
                     "the checksum of " + HexBytes(reply) + " is wrong: noise on the line");
  r.Pass(4, "the reply is a valid frame");
  MemoryImage image;
  image.ReplaceBlock(1, reply.data());
  if (!IsVersion3(image))
    return r.Failure(5, "the controller is version 3", kExitVersion,
                     "the controller is version " + ControllerVersion(image) +
                         "; the program works with version 3 only");
  r.Pass(5, "the controller is version 3", ControllerVersion(image));
  return kExitOk;
}

// Stage 2: one identification request, and whatever comes back within the read timeout (room
// for an echo and the reply).
Bytes Exchange(SerialPort& port) {
  port.PurgeTransmit();
  port.PurgeReceive();
  port.Write(kIdentification, 4);
  Bytes got(8);
  got.resize(port.Read(got.data(), 8));
  return got;
}

int ReadAllBlocks(Report& r, Link& link) {
  for (int attempt = 0; attempt < kAttempts && link.offline; ++attempt) Identify(link);
  for (int block = 2; block <= 5; ++block) {
    bool read = false;
    for (int attempt = 0; attempt < kAttempts && !read; ++attempt) read = ReadBlock(link, block);
    if (!read)
      return r.Failure(6, "Blocks 2 to 5 are read", kExitNoAnswer,
                       "Block " + std::to_string(block) + " was not read in " +
                           std::to_string(kAttempts) + " tries: its reply was missing or garbled");
  }
  r.Pass(6, "Blocks 2 to 5 are read");
  return kExitOk;
}

constexpr int kTimingRounds = 4;
constexpr const char* kTimingStage = "replies come in their wire time";

// Each line indented under its stage and wrapped at word boundaries to fit 96 columns; one that
// starts with two spaces is a command and stays whole.
void Indented(Context& c, const std::vector<std::string>& lines) {
  constexpr std::size_t kWidth = 90;
  for (const auto& line : lines) {
    std::size_t start = 0;
    while (line.rfind("  ", 0) != 0 && line.size() - start > kWidth) {
      std::size_t cut = line.rfind(' ', start + kWidth);
      if (cut == std::string::npos || cut <= start) cut = start + kWidth;
      c.out << "      " << line.substr(start, cut - start) << "\n";
      start = line[cut] == ' ' ? cut + 1 : cut;
    }
    c.out << "      " << line.substr(start) << "\n";
  }
}

// Stage 7: never a failure, the line works; slow replies are explained.
void ReportTiming(Report& r, Context& c, const Timings& t, const AdapterInfo& adapter) {
  char detail[80];
  std::snprintf(detail, sizeof detail, "%.1f ms over the wire time a reply", t.excessMs);
  if (!t.Slow()) return r.Pass(7, kTimingStage, detail);
  r.Slow(7, kTimingStage, detail);
  for (int block = 1; block <= kBlockCount; ++block) {
    char line[100];
    std::snprintf(line, sizeof line, "%-15s %5.1f ms a reply at best, %4.1f ms on the wire",
                  block == 1 ? "identification" : ("Block " + std::to_string(block)).c_str(),
                  t.bestMs[static_cast<std::size_t>(block)], WireMs(block));
    c.out << "      " << line << "\n";
  }
  Indented(c, LatencyAdvice(t, adapter));
}

// --fix-latency: the timer to 1 ms where the system allows, then the replies timed again.
int FixLatency(Context& c, Link& link, const std::string& device, const AdapterInfo& adapter,
               const Timings& before) {
  c.out << "Latency timer: ";
  if (adapter.known && !adapter.latencyTimer) {
    c.out << "this port has none; nothing changed.\n";
    return kExitOk;
  }
  if (adapter.latencyMs == 1) {
    c.out << "already 1 ms; nothing changed.\n";
    return kExitOk;
  }
  const std::string was =
      adapter.latencyMs > 0 ? " (was " + std::to_string(adapter.latencyMs) + " ms)" : "";
  const LatencyResult result = c.platform.SetLatencyTimer(device, 1);
  switch (result.change) {
    case LatencyChange::Done:
      c.out << "set to 1 ms" << was << ". The replies timed again:\n";
      Indented(c, BeforeAfter(before, TimeExchanges(link, kTimingRounds)));
      return kExitOk;
    case LatencyChange::AfterReplug:
      c.out << "set to 1 ms" << was << ". " << result.message << "\n";
      return kExitOk;
    case LatencyChange::NotAllowed:
    case LatencyChange::Impossible:
      break;
  }
  c.out << "not set. " << result.message << "\n";
  return Fail(c, kExitFile, "the latency timer was not set");
}

}  // namespace

int RunDoctor(Context& c) {
  c.out << "Checking the controller line on " << c.args.port << "\n";
  Report r(c);
  SerialPort& port = c.platform.Port();
  const std::string device = c.platform.DeviceName(c.args.port);
  r.Start();
  if (const PortProblem problem = OpenChecked(c.platform, device);
      problem.trouble != PortTrouble::None)
    return r.Failure(1, "the port opens", kExitPort, problem.message);
  r.Pass(1, "the port opens");

  r.Start();
  const Bytes got = Exchange(port);
  if (got.empty())
    return r.Failure(2, "bytes come back", kExitNoAnswer,
                     "nothing came back: check the cable and the adapter, that the controller "
                     "has power (ignition on), and that this is the controller's port");
  r.Pass(2, "bytes come back", std::to_string(got.size()) + " bytes: " + HexBytes(got));
  r.Start();
  if (int code = CheckReply(r, got); code != kExitOk) return code;

  r.Start();
  Link link;
  link.port = &port;
  link.portName = device;
  link.portOpen = true;
  if (int code = ReadAllBlocks(r, link); code != kExitOk) return code;

  r.Start();
  const Timings timings = TimeExchanges(link, kTimingRounds);
  const AdapterInfo adapter = c.platform.DescribeAdapter(device);
  ReportTiming(r, c, timings, adapter);
  const int code = c.args.fixLatency ? FixLatency(c, link, device, adapter, timings) : kExitOk;
  ClosePort(link);
  if (code != kExitOk) return code;
  c.out << (timings.Slow() ? "The line and the controller work, but the replies come late (above).\n"
                           : "Every stage passed: the line and the controller work.\n");
  return kExitOk;
}

}  // namespace kv::cli
