// Program-wide state of the oscilloscope panel: the sweep position, the points the charts are
// repainted from, the raw samples the value cursor reads back, and the cursor. It lives in the
// Program, so the cursor mode and the Block 3 flag outlast the panel window.
#pragma once

#include <array>
#include <cstdint>

#include "ui/canvas.h"

namespace kv {

inline constexpr int kTraceCount = 5;
inline constexpr int kHistoryLength = 400;  // per-position entries and redraw points per trace
inline constexpr int kFirstSamplePos = 202;  // samplePos at creation: the first sweep starts at 203

// Baseline (design y) of traces 1..5: lambda, actuator, AttInit, engine speed, throttle.
inline constexpr std::array<int, kTraceCount> kTraceBaselines = {130, 240, 240, 350, 460};

// The raw values of one sample, kept per sweep position for the value cursor.
struct OscilloscopeSample {
  int lambda = 0;    // Block 2 byte 2
  int actuator = 0;  // Block 2 byte 3
  int attInit = 0;   // Block 2 byte 4 (kept, not shown)
  long speed = 0;    // rpm, 0 when Block 2 byte 6 is 255
  int throttle = 0;  // Block 2 byte 1, never inverted
  std::uint8_t type = 0;            // Block 3 byte 2: lambda probe type and TPS sensor code
  std::uint8_t throttleSwitch = 0;  // nonzero: the throttle switch bit of Block 2 byte 7 set
  std::uint8_t fuelState = 0;       // Block 2 byte 8
};

using RedrawPoints = std::array<std::array<Point, kHistoryLength>, kTraceCount>;

// Point i of every trace at x = 201 + i on the trace's baseline (design frame).
constexpr RedrawPoints BaselineRedrawPoints() {
  RedrawPoints points{};
  for (int t = 0; t < kTraceCount; ++t)
    for (int i = 0; i < kHistoryLength; ++i)
      points[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)] = {201 + i,
                                                                          kTraceBaselines[t]};
  return points;
}

struct OscilloscopeState {
  int samplePos = kFirstSamplePos;  // design x of the newest sample
  RedrawPoints redraw = BaselineRedrawPoints();
  std::array<int, kTraceCount> previousY = kTraceBaselines;  // where each live segment starts
  std::array<OscilloscopeSample, kHistoryLength> history{};  // entry i: position 200 + i
  bool cursorMode = false;
  int cursorPos = 2;      // 2..395: shows position 200 + cursorPos, drawn at x 201 + cursorPos
  int lastCursorPos = 0;  // where the cursor line was last drawn
  int block3Flag = 0;     // 0 until Block 3 was read since the link last came online
};

}  // namespace kv
