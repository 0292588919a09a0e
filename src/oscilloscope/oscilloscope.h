// The oscilloscope panel: five live signals swept across four charts as fast as the line
// delivers them, their current values beside the charts, and a value cursor that reads back the
// stored samples while the line is left alone.
#pragma once

#include <array>

#include "oscilloscope/oscilloscope_state.h"
#include "oscilloscope_ids.h"
#include "ui/canvas.h"

namespace kv {

struct Program;
struct MemoryImage;
class Controls;

// Controls of template 159.
inline constexpr int kCursorCheckBox = IDC_OSCILLOSCOPE_CURSOR;
inline constexpr int kCursorScrollBar = IDC_OSCILLOSCOPE_SCROLL;
inline constexpr int kCursorFirst = 2, kCursorLast = 395;
// The panel samples at every tick of a 20 ms timer; the exchanges set the real rate.
inline constexpr int kOscilloscopePollPeriod = 20;

// The sample the memory image holds now.
OscilloscopeSample CurrentSample(const MemoryImage& image);
// Deflections of traces 1..5 (design units up from their baselines) for a sample.
std::array<int, kTraceCount> TraceDeflections(const OscilloscopeSample& sample);

// Clears the per-position histories and puts every redraw point back on its baseline.
void ResetOscilloscopeHistory(OscilloscopeState& state);
// The panel's entry steps: reset history, set-up drawing, frame redraw, sweep from the start.
void EnterOscilloscope(Program& program, Canvas& canvas, Controls& controls);
// Caption, a fresh Block 3, chart frames, labels, the cursor controls and the time axis.
void OscilloscopeSetUp(Program& program, Canvas& canvas, Controls& controls);
// The labels and time axis of the set-up, without its exchange.
void DrawOscilloscopeLabels(Program& program, Canvas& canvas);
// Chart frames and the five stored traces (which also wipes the cursor line).
void OscilloscopeFrameRedraw(Program& program, Canvas& canvas);
// The panel's own paint: frame redraw, the labels too when part of the panel was uncovered, and
// the two controls placed for the screen size.
void OscilloscopePanelPaint(Program& program, Canvas& canvas, Controls& controls, bool exposed);
void PlaceOscilloscopeControls(const Program& program, Controls& controls);

// One timer tick: the cursor view in cursor mode (nothing on the line); otherwise the exchanges,
// a sample while online, and the values. Returns true when the caller must restart the timer
// with the link's pollPeriod (armedPeriod already holds it).
bool OscilloscopeTick(Program& program, Canvas& canvas, Controls& controls);
// Advances the sweep by one position and draws and stores the image's sample there.
void OscilloscopeSampleStep(Program& program, Canvas& canvas);
// The current values from the memory image.
void OscilloscopeValueDisplay(Program& program, Canvas& canvas, Controls& controls);
// The cursor line and the stored values under it.
void OscilloscopeCursorView(Program& program, Canvas& canvas, Controls& controls);

// The cursor check box (kCursorCheckBox) was clicked.
void CursorBoxClicked(Program& program, Canvas& canvas, Controls& controls);
// The cursor scroll bar (kCursorScrollBar) reported `request` (a ScrollRequest; the thumb
// position for thumb tracking).
void CursorScrolled(Program& program, Controls& controls, int request, int thumb);

}  // namespace kv
