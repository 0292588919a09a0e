// The gas level sensor dialog's behaviour, apart from Win32: the sensor type, the four switching
// points Prog1..Prog4 on scroll bars (written once, when a bar is released), the five level
// lamps, the factory button, and the dialog's own poll of Blocks 3 and 5.
#pragma once

#include <array>

namespace kv {

struct Program;
struct LanguageTexts;
class Controls;
class Canvas;

inline constexpr int kGasSensorCaptionText = 39;

// Ranges 0..255 on the bars, 0 in the number fields, the texts and the sensor type items.
void InitGasSensorDialog(const LanguageTexts& texts, Controls& controls);

// A paint: the grey background and five unlit lamps, then the controls are made to repaint over
// them; the programmable ones stay disabled until the next refresh.
void GasSensorPainted(Controls& controls, Canvas& canvas);

// One tick of timer 2: nothing while a bar is moved or a list is open; otherwise poll, load the
// switching points and refresh. Returns true when the timer must be restarted with the link's
// poll period (armedPeriod already follows it).
bool GasSensorTick(Program& program, Controls& controls, Canvas& canvas);
// The sensor type, the switching points (enabled only for a programmable type at version 3) and
// the lamps.
void RefreshSensorDialog(Program& program, Controls& controls, Canvas& canvas);

// A scroll message from bar `id` with scroll `code` (a ScrollRequest or ScrollEnd) and the thumb
// position of a tracking code. Steps move the bar's value and hold polling back; the release
// shows the value and writes it, once.
void GasSensorScroll(Program& program, Controls& controls, int id, int code, int thumb);

// A WM_COMMAND. Returns the id the dialog ends with (1 close button, 2 Esc or close box), after
// clearing subDialogOpen so the options panel polls again; 0 while the dialog stays.
int GasSensorCommand(Program& program, Controls& controls, int id, int code);

// The factory button: command 52, then the four points the controller now holds are read back and
// sent again. Nothing more is sent when the read fails.
void RestoreFactoryGasPoints(Program& program);

// Lamps lit for a gas level, in the order reserve, 1/4, 2/4, 3/4, 4/4: level 0 lights the reserve,
// level k = 1..4 the quarters up to k/4, levels 5..7 nothing.
std::array<bool, 5> GasLamps(int level);
void DrawGasLamps(Canvas& canvas, const std::array<bool, 5>& lit);

}  // namespace kv
