// The readings panel: the live values of Block 2 with the settings of Blocks 3 and 4 that give
// them meaning, drawn on the panel's canvas; its poll tick and the learn command.
#pragma once

#include "readings_ids.h"
#include "shell/poll.h"
#include "ui/canvas.h"

namespace kv {

struct Program;
struct ShellState;
struct ReadingsState;
class Controls;

// Controls of template 101.
inline constexpr int kLearnButton = IDC_READINGS_LEARN;
inline constexpr int kRawTemperatureField = IDC_READINGS_RAW_TEMPERATURE;  // hidden, Block 2 byte 9
inline constexpr int kLogoPicture = IDC_READINGS_LOGO;

// What the panel places in absolute pixels per screen size rather than by the design frame (the
// x bases of the TPS lamps are the shell's, set with the scale factors).
struct ReadingsSizeLayout {
  int lampLeft, lampTop, lampRight, lampBottom;  // from a lamp's base
  int learnLampDiameter;
  int buttonX, buttonY, buttonWidth, buttonHeight;
};
const ReadingsSizeLayout& ReadingsLayoutFor(int screenSize);
// TPS lamp n (1..4) of the current screen size, in panel pixels.
Rect TpsLampRect(const ShellState& shell, int n);

// Places the learn button for the current screen size.
void PlaceLearnButton(const Program& program, Controls& controls);

// Draws the static parts: boxes, frames, labels, lamp outlines and the dial; sets the learn
// button's caption and places the logo.
void DrawReadingsFrame(Program& program, Canvas& canvas, Controls& controls);
// Draws every live part from the memory image and moves the panel state on by one refresh.
void RefreshReadings(Program& program, Canvas& canvas, Controls& controls);
// One poll cycle. Returns true when the caller must restart the poll timer with the link's
// pollPeriod (armedPeriod already holds it).
bool ReadingsTick(Program& program, Canvas& canvas, Controls& controls);
// The learn button: on gas, online, at version 3 it asks the controller to learn.
void LearnPressed(Program& program, Canvas& canvas, Controls& controls);

}  // namespace kv
