// The corrections dialog's behaviour, apart from Win32: four signed actuator corrections kept as
// the four nibbles of ZAM_OTW_BJ and ZAM_OTW_DO, each a list of sixteen even values, written at
// once with the other nibble kept, and followed by the dialog's own poll of Block 5.
#pragma once

#include <string>

namespace kv {

struct Program;
struct LanguageTexts;
class Controls;

// Each list gets its sixteen values, index k standing for nibble 15 - k.
void FillCorrectionsLists(Controls& controls);
// Labels and the OK button of the current language (the caption is text 98).
void ApplyCorrectionsTexts(const LanguageTexts& texts, Controls& controls);
inline constexpr int kCorrectionsCaptionText = 98;

// One tick of timer 2: unless a list is open, poll Block 5 and, at version 3, select each list's
// item from its nibble. Returns true when the timer must be restarted with the link's poll
// period (armedPeriod already follows it); that check runs even while a list is open.
bool CorrectionsTick(Program& program, Controls& controls);

// A WM_COMMAND. Returns the id the dialog ends with (1 OK, 2 Esc or close box), after clearing
// correctionsOpen so the options panel polls again; 0 while the dialog stays.
int CorrectionsCommand(Program& program, Controls& controls, int id, int code);

}  // namespace kv
