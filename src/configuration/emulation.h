// The emulation construction dialog's behaviour, apart from Win32: its lists and texts, its own
// poll of Block 3, the writes of the high and low emulation times, and the square-wave picture.
#pragma once

#include <string>

namespace kv {

struct Program;
struct LanguageTexts;
class Controls;
class Canvas;

// Both time lists get 0,025 .. 6,375 s (bytes 1..255).
void FillEmulationLists(Controls& controls);
// Button, labels and units of the current language.
void ApplyEmulationTexts(const LanguageTexts& texts, Controls& controls);
// "<emulation type label>:   <name of emulation type 0>".
std::string EmulationCaption(const LanguageTexts& texts);

// A paint of the dialog: the next tick draws the picture again.
void EmulationPainted(Program& program);
// One tick of the dialog timer: unless a list is open, poll Block 3, redraw the wave when H or L changed
// or a paint asked for it, and follow the lists. Returns true when the timer must be restarted
// with the link's poll period (armedPeriod already follows it).
bool EmulationTick(Program& program, Controls& controls, Canvas& canvas);

// A WM_COMMAND. Returns the id the dialog ends with (1 close button, 2 Esc or close box), after
// clearing subDialogOpen so the configuration panel polls again; 0 while the dialog stays.
int EmulationCommand(Program& program, Controls& controls, int id, int code);

// The picture in the dialog's client pixels: axes, voltage labels of the probe type, ticks and
// the square wave of high and low phases (H div 2 + 2 and L div 2 + 2 columns), at most 480
// columns wide.
void DrawEmulationChart(Canvas& canvas, int probeType, int high, int low);

}  // namespace kv
