// The options panel's behaviour, apart from Win32: what every control shows for a given memory
// image, what a pick or a click writes to the controller, and what a timer tick does. The dialog
// procedure (options_win32.cpp) only turns messages into these calls and runs the sub-dialogs.
#pragma once

#include <cstdint>

namespace kv {

struct Program;
class Controls;

// Appends every list's items: the five 0..255 lists in one pass, then the TPS jump, the jump
// position (the version-3 form), cut-off speed, cut-off closing, temperature and emulation mode.
void FillOptionsLists(const Program& program, Controls& controls);
// Headings, labels, units, option boxes and buttons of the current language.
void ApplyOptionsTexts(const Program& program, Controls& controls);
// Sets every control from the memory image: the option boxes show and hide their rows, and the
// jump position list takes the form of the controller's version.
void RefreshOptions(Program& program, Controls& controls);

// One tick of timer 1. While the corrections dialog is open it does nothing at all; otherwise it
// polls and refreshes unless a list or the gas level sensor dialog is open. Returns true when the
// timer must be restarted with the link's poll period (armedPeriod already follows it).
bool OptionsTick(Program& program, Controls& controls);

enum class OptionsFollowUp { None, OpenCorrections, OpenGasSensor };
// A WM_COMMAND from control `id` with notification `code`: list picks and option box clicks are
// written at once; a drop-down sets listOpen, any other list notification clears it. The two
// buttons set correctionsOpen or subDialogOpen and ask the caller to run their dialog.
OptionsFollowUp OptionsCommand(Program& program, Controls& controls, int id, int code);

}  // namespace kv
