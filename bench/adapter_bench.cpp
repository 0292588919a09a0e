// What a USB serial adapter with a latency timer costs the two live panels: the oscilloscope's
// samples and the readings panel's ticks per second against kv720-sim playing such an adapter
// (its --latency), beside a bare client doing the same exchanges and nothing else through the
// same adapter, and beside the wire alone. The ratio panel / bare client shows what our own code
// adds to the adapter's delay; the goal is at least 0.95 at every latency.
#include <cstdio>
#include <string>

#include "bench.h"
#include "fake_controls.h"
#include "link/link.h"
#include "link/serial_port_posix.h"
#include "oscilloscope/oscilloscope.h"
#include "readings/readings.h"
#include "recording_canvas.h"
#include "shell/program.h"
#include "sim_process.h"

namespace kv::bench {
namespace {

using testing::FakeControls;
using testing::RecordingCanvas;

// Counts what the link asks of the port besides moving bytes: each purge is a request to the
// chip on an adapter whose driver purges the chip's own buffers.
class CountingPort final : public SerialPort {
 public:
  explicit CountingPort(SerialPort& port) : port_(port) {}
  bool Open(const std::string& name) override { return port_.Open(name); }
  void Close() override { port_.Close(); }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override {
    return port_.Write(data, count);
  }
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override {
    return port_.Read(data, count);
  }
  void PurgeReceive() override { ++purges, port_.PurgeReceive(); }
  void PurgeTransmit() override { ++purges, port_.PurgeTransmit(); }
  void Pause(int milliseconds) override { port_.Pause(milliseconds); }
  int purges = 0;

 private:
  SerialPort& port_;
};

// Bytes on the wire of the exchanges of one tick: each a 4-byte request and its reply.
int WireBytes(BlockSet blocks) {
  int bytes = 4 + 4;
  for (int block = 2; block <= kBlockCount; ++block)
    if (blocks & (1u << block)) bytes += 4 + static_cast<int>(BlockLength(block));
  return bytes;
}

// The readings panel reads Blocks 3 and 4 besides Block 2 at every fourth tick.
BlockSet ReadingsPattern(int tick) { return tick % 4 == 3 ? Blocks({2, 3, 4}) : Blocks({2}); }
BlockSet OscilloscopePattern(int) { return Blocks({2}); }

// The simulated controller thinks 2 ms before each reply (its default). That keeps the end of
// every reply clear of the timer's expiries: with none, Block 2 ends 0.4 ms before the second
// 16 ms expiry, and a few tenths of a millisecond of turnaround decide whether a sample takes
// 32 or 48 ms, which makes any two runs incomparable.
constexpr double kControllerDelayMs = 2;

struct Figures {
  double panel = 0, bare = 0, line = 0, wire = 0;  // ticks per second
  double purges = 0;                               // per panel tick
};

// Wall time of ticks, accumulated over several runs.
struct Stopwatch {
  double ms = 0;
  int ticks = 0;
  template <typename Tick>
  void Run(int count, Tick tick) {
    const double start = WallMilliseconds();
    for (int i = 0; i < count; ++i) tick(ticks + i);
    ms += WallMilliseconds() - start;
    ticks += count;
  }
  double Rate() const { return ms > 0 ? ticks * 1000.0 / ms : 0; }
};

// Identification and the pattern's blocks, back to back, each reply read whole: nothing else.
void BareTicks(const std::string& device, int count, BlockSet (*pattern)(int), Stopwatch& watch) {
  PosixSerialPort port;
  if (!port.Open(device)) return;
  const auto exchange = [&](int block) {
    std::uint8_t reply[kMaxBlockLength];
    port.Write(ReadRequest(block).data(), 4);
    port.Read(reply, static_cast<std::uint32_t>(BlockLength(block)));
  };
  watch.Run(count, [&](int i) {
    exchange(1);
    for (int block = 2; block <= kBlockCount; ++block)
      if (pattern(i) & (1u << block)) exchange(block);
  });
}

// The panel and the bare client take turns in runs of a few ticks (the port opens exclusively),
// so that a busy machine slows both alike.
template <typename Enter, typename PanelTick>
Figures Measure(const std::string& device, int ticks, BlockSet (*pattern)(int), Enter enter,
                PanelTick panelTick) {
  constexpr int kRun = 12;  // a multiple of the readings panel's four-tick pattern
  PosixSerialPort posix;
  CountingPort port(posix);
  Program p;
  p.link.port = &port;
  p.link.portName = device;
  RecordingCanvas canvas;
  FakeControls controls;
  enter(p, canvas, controls);
  for (int i = 0; i < 4; ++i) panelTick(p, canvas, controls);  // online, in step with pattern
  ClosePort(p.link);
  port.purges = 0;
  Stopwatch panel, bare;
  while (panel.ticks < ticks) {
    BareTicks(device, kRun, pattern, bare);
    p.link.portOpen = port.Open(device);  // opened as the link would, outside the timing
    panel.Run(kRun, [&](int) {
      canvas.Clear();
      panelTick(p, canvas, controls);
    });
    ClosePort(p.link);
  }
  if (p.link.offline) std::printf("warning: the link went offline during the run\n");
  Figures f{panel.Rate(), bare.Rate(), 0, 0, static_cast<double>(port.purges) / panel.ticks};
  double wireMs = 0, lineMs = 0;
  for (int i = 0; i < ticks; ++i) {
    const int exchanges = 1 + __builtin_popcount(pattern(i));
    wireMs += WireBytes(pattern(i)) * kWireMsPerByte;
    lineMs += WireBytes(pattern(i)) * kWireMsPerByte + exchanges * kControllerDelayMs;
  }
  f.wire = ticks * 1000.0 / wireMs;
  f.line = ticks * 1000.0 / lineMs;
  return f;
}

void Print(int latency, const char* panel, const Figures& f) {
  std::printf("%4d ms  %-13s %8.2f %8.2f %8.3f %8.2f %8.2f %7.1f\n", latency, panel, f.panel,
              f.bare, f.panel / f.bare, f.line, f.wire, f.purges);
}

void AdapterCost() {
  testing::SimProcess sim({"--start-time", "40", "--delay", "2"});
  if (!sim.Ready()) {
    std::printf("kv720-sim did not start\n");
    return;
  }
  std::printf("latency  panel          panel/s   bare/s    ratio   line/s   wire/s  purges\n");
  for (const int latency : {0, 1, 16}) {
    sim.Control("latency " + std::to_string(latency));
    const int ticks = latency >= 16 ? 72 : 144;
    Print(latency, "oscilloscope",
          Measure(sim.Link(), ticks, OscilloscopePattern, EnterOscilloscope, OscilloscopeTick));
    Print(latency, "readings",
          Measure(
              sim.Link(), ticks, ReadingsPattern, [](Program&, Canvas&, Controls&) {},
              ReadingsTick));
  }
  std::printf("Ticks back to back; panel/s and bare/s through the same emulated adapter (the bare\n"
              "client: identification and the same blocks, nothing else); goal: ratio >= 0.95 at\n"
              "every latency. line/s: the bytes at 9600 baud and the controller's 2 ms a reply;\n"
              "wire/s: the bytes alone. purges: the port purges of one panel tick.\n");
}

}  // namespace

KV720_BENCH("adapters: the live panels through a latency-timer USB adapter", AdapterCost);

}  // namespace kv::bench
