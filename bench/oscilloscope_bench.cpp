// Oscilloscope panel: samples per second of its tick against kv720-sim over a pseudo-terminal
// beside the rate the wire allows, and the CPU time and drawing calls of one sample step and of
// one frame redraw against the recording canvas.
#include <cstdint>
#include <cstdio>

#include "bench.h"
#include "fake_controls.h"
#include "fake_port.h"
#include "link/serial_port_posix.h"
#include "oscilloscope/oscilloscope.h"
#include "recording_canvas.h"
#include "shell/program.h"
#include "sim_process.h"

namespace kv {
namespace {

using testing::FakeControls;
using testing::RecordingCanvas;

// Identification and Block 2, each a 4-byte request and its reply: the bytes of one sample.
constexpr int kSampleBytes = (4 + 4) + (4 + 11);

// The 20 ms timer is shorter than a tick's exchanges, so with the system clock at 1 ms the next
// tick is already due when one ends: ticks run back to back, as here.
void SamplesAgainstSimulator() {
  testing::SimProcess sim({"--delay", "0", "--start-time", "40"});
  if (!sim.Ready()) {
    std::printf("kv720-sim did not start\n");
    return;
  }
  PosixSerialPort port;
  port.devices["COM1:"] = sim.Link();
  Program p;
  p.link.port = &port;
  RecordingCanvas canvas;
  FakeControls controls;
  EnterOscilloscope(p, canvas, controls);
  OscilloscopeTick(p, canvas, controls);  // online, Block 3 read: the steady state follows

  constexpr int kTicks = 300;
  const double start = bench::WallMilliseconds();
  for (int i = 0; i < kTicks; ++i) {
    canvas.Clear();
    OscilloscopeTick(p, canvas, controls);
  }
  const double wallMs = bench::WallMilliseconds() - start;
  ClosePort(p.link);
  if (p.link.offline) std::printf("warning: the link went offline during the run\n");
  const double rate = kTicks * 1000.0 / wallMs;
  const double limit = 1000.0 / (kSampleBytes * bench::kWireMsPerByte);
  std::printf("samples per second    %8.2f (mean of %d ticks, %.3f ms each)\n", rate, kTicks,
              wallMs / kTicks);
  std::printf("wire limit            %8.2f (identification + Block 2: %d bytes, %.3f ms)\n",
              limit, kSampleBytes, kSampleBytes * bench::kWireMsPerByte);
  std::printf("ratio to the limit    %8.3f (goal >= 0.95)\n", rate / limit);
}

void Set(Program& p, ByteRef r, std::uint8_t v) {
  p.link.image.blocks[static_cast<std::size_t>(r.block - 1)][r.index] = v;
}

// CPU of `step` per call, with the drawing calls of its last call.
template <typename Step>
void Measure(const char* what, int runs, RecordingCanvas& canvas, Step step) {
  const double start = bench::CpuMicroseconds();
  for (int i = 0; i < runs; ++i) {
    canvas.Clear();
    step(i);
  }
  const double us = (bench::CpuMicroseconds() - start) / runs;
  const double wireUs = kSampleBytes * bench::kWireMsPerByte * 1000.0;
  std::printf("%-21s %8.2f us CPU, %3zu drawing calls (%.4f%% of a sample's wire time)\n", what,
              us, canvas.calls.size(), 100 * us / wireUs);
}

void DrawingCost() {
  testing::FakePort port;  // silent: the set-up's Block 3 read finds no controller
  Program p;
  p.link.port = &port;
  for (int n = 0; n < kLanguageTextCount; ++n)
    p.texts.text[static_cast<std::size_t>(n)] = "a label of twenty";
  p.link.offline = false;
  Set(p, {1, 2}, 0x45);
  Set(p, bytes::Lambda, 40), Set(p, bytes::Actuator, 90), Set(p, bytes::Tps, 60);
  Set(p, bytes::PeriodHi, 0x0E), Set(p, bytes::PeriodLo, 0xA6), Set(p, bytes::Switches, 1);
  RecordingCanvas canvas;
  FakeControls controls;
  EnterOscilloscope(p, canvas, controls);
  for (int i = 0; i < 400; ++i) OscilloscopeSampleStep(p, canvas);  // a full sweep stored

  Measure("sample step", 200000, canvas, [&](int i) {
    Set(p, bytes::Lambda, static_cast<std::uint8_t>(i));
    OscilloscopeSampleStep(p, canvas);
  });
  Measure("value display", 200000, canvas,
          [&](int) { OscilloscopeValueDisplay(p, canvas, controls); });
  Measure("frame redraw", 20000, canvas, [&](int) { OscilloscopeFrameRedraw(p, canvas); });
  p.oscilloscope.cursorMode = true;
  Measure("cursor view (moving)", 200000, canvas, [&](int i) {
    controls[kCursorScrollBar].position = kCursorFirst + i % 300;
    OscilloscopeCursorView(p, canvas, controls);
  });
}

KV720_BENCH("oscilloscope: samples per second against kv720-sim over a pty",
            SamplesAgainstSimulator);
KV720_BENCH("oscilloscope: drawing against the recording canvas", DrawingCost);

}  // namespace
}  // namespace kv
