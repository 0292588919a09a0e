// Readings panel: CPU time of a refresh and of a dial redraw against the recording canvas, and
// how many drawing calls a refresh makes when nothing changed and when everything did.
#include <cstdint>
#include <cstdio>

#include "bench.h"
#include "fake_controls.h"
#include "readings/dial.h"
#include "readings/readings.h"
#include "recording_canvas.h"
#include "shell/program.h"

namespace kv {
namespace {

using testing::FakeControls;
using testing::RecordingCanvas;

constexpr double kPollPeriodUs = 50'000;  // online poll period

void Set(Program& p, ByteRef r, std::uint8_t v) { p.link.image.blocks[r.block - 1][r.index] = v; }

// A running car on gas, version 3, with every setting the panel reads; `shift` moves every
// live value and threshold so that two images differ in everything the panel draws.
void FillImage(Program& p, int shift) {
  p.link.offline = false;
  Set(p, {1, 2}, 0x40);
  Set(p, bytes::Tps, static_cast<std::uint8_t>(40 + shift));
  Set(p, bytes::Lambda, static_cast<std::uint8_t>(20 + shift));
  Set(p, bytes::Actuator, static_cast<std::uint8_t>(90 + shift));
  Set(p, bytes::AttInit, static_cast<std::uint8_t>(60 + shift));
  Set(p, bytes::PeriodHi, shift ? 0x0E : 0x1D), Set(p, bytes::PeriodLo, shift ? 0xA6 : 0x4C);
  Set(p, bytes::Status, static_cast<std::uint8_t>(0x08 | (shift ? 0x40 : 0x20) | (shift ? 4 : 1)));
  Set(p, bytes::Switches, static_cast<std::uint8_t>(shift ? 0x84 : 0xC1));
  Set(p, bytes::Temperature, static_cast<std::uint8_t>(200 + shift));
  Set(p, bytes::Options, 0x6A);
  Set(p, bytes::LambdaType, 0x10);
  Set(p, bytes::LambdaPoint, static_cast<std::uint8_t>(23 + shift));
  Set(p, bytes::EmulType, 0x80);
  Set(p, bytes::LPGOnTemp, static_cast<std::uint8_t>(145 + shift));
  Set(p, bytes::TPSInert, static_cast<std::uint8_t>(10 + shift));
  Set(p, bytes::AttMax, 20), Set(p, bytes::AttMin, static_cast<std::uint8_t>(10 + shift));
  Set(p, bytes::AttJump, static_cast<std::uint8_t>(30 + shift));
  Set(p, bytes::LPGOnRPMHi, 0x0E), Set(p, bytes::LPGOnRPMLo, 0xA6);
  Set(p, bytes::CutOffRPMHi, 0x17), Set(p, bytes::CutOffRPMLo, static_cast<std::uint8_t>(0x70 + shift));
  Set(p, bytes::LPGOffRPMHi, 0x0D), Set(p, bytes::LPGOffRPMLo, static_cast<std::uint8_t>(0x05 + 60 * shift));
  Set(p, bytes::AttMax_BJ, 3), Set(p, bytes::AttMin_BJ, static_cast<std::uint8_t>(4 + shift));
}

void RefreshCost() {
  Program p;
  for (int n = 0; n < kLanguageTextCount; ++n)
    p.texts.text[static_cast<std::size_t>(n)] = "a message of some thirty letters";
  RecordingCanvas canvas;
  FakeControls controls;
  FillImage(p, 0);
  RefreshReadings(p, canvas, controls);
  RefreshReadings(p, canvas, controls);  // settled: nothing left to change

  constexpr int kRuns = 20000;
  canvas.Clear();
  RefreshReadings(p, canvas, controls);
  const std::size_t quietCalls = canvas.calls.size();
  double start = bench::CpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) {
    canvas.Clear();
    RefreshReadings(p, canvas, controls);
  }
  const double quietUs = (bench::CpuMicroseconds() - start) / kRuns;

  // Every value alternates between two images: each refresh redraws the AttInit area and the
  // dial twice (speed and LPG-off speed).
  std::size_t busyCalls = 0;
  start = bench::CpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) {
    FillImage(p, (i & 1) ? 0 : 1);
    canvas.Clear();
    RefreshReadings(p, canvas, controls);
    busyCalls = canvas.calls.size();
  }
  const double busyUs = (bench::CpuMicroseconds() - start) / kRuns;

  std::printf("refresh CPU, nothing changed    %8.2f us (%.4f%% of the 50 ms poll period)\n",
              quietUs, 100 * quietUs / kPollPeriodUs);
  std::printf("refresh CPU, everything changed %8.2f us (%.4f%% of the 50 ms poll period)\n",
              busyUs, 100 * busyUs / kPollPeriodUs);
  std::printf("drawing calls per refresh       %5zu nothing changed, %zu everything changed\n",
              quietCalls, busyCalls);
}

void DialCost() {
  Program p;
  RecordingCanvas canvas;
  FakeControls controls;
  Set(p, bytes::Options, 0x40);
  p.readings.dial.lpgOffSpeed = 4500;
  constexpr int kRuns = 50000;
  const double start = bench::CpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) {
    p.shared.engineSpeed = 800 + (i % 100) * 50;
    canvas.Clear();
    DrawSpeedDial(p, canvas, controls);
  }
  const double us = (bench::CpuMicroseconds() - start) / kRuns;
  std::printf("DrawSpeedDial CPU               %8.2f us (%zu drawing calls)\n", us,
              canvas.calls.size());
}

KV720_BENCH("readings: refresh against the recording canvas", RefreshCost);
KV720_BENCH("readings: speed dial redraw", DialCost);

}  // namespace
}  // namespace kv
