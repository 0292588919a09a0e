// The factory reset panel's behaviour, apart from Win32: its captions and positions per screen
// size, and the reset procedure (the reset command, the read-back of the controller's settings
// and their write-back, each verified by its echo). The panel procedure (reset_panel_win32.cpp)
// turns messages into these calls and shows the message the procedure ends with.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "ui/controls.h"

namespace kv {

struct Program;
struct RestorePoints;

// The progress bar counts the write-back steps 0..32.
inline constexpr int kResetProgressMaximum = 32;

// Creation: the progress bar's range.
void StartResetPanel(Controls& controls);
// The three captions in the current language.
void ApplyResetTexts(const Program& program, Controls& controls);
// The panel's own paint: the captions and the four controls placed for the screen size.
void PaintResetPanel(const Program& program, Controls& controls);
// The main window's paint: the heading, the description and the button placed for the screen
// size (the progress bar stays where it is).
void PlaceResetTexts(int screenSize, Controls& controls);

struct ResetPlace {
  int control;
  int x, y, width, height;  // pixels, not scaled
};
// Heading, description, button and progress bar, in that order, for screen size 1..5.
const ResetPlace* ResetPlaces(int screenSize);
inline constexpr int kResetPlaceCount = 4;

enum class ResetOutcome {
  NotSent,     // offline or another version: nothing was written, nothing is said
  Refused,     // the controller refuses while Block 2 byte 7 bit 3 is set
  NoRestorePointAnswer,    // a read for the restore point was not accepted: nothing was sent
  RestorePointNotWritten,  // the disk refused the restore point: nothing was sent
  NotRestored, // a read-back after the command was rejected, or a write-back was not echoed
  Restored,    // all 33 write-backs echoed
};
// What a reset that went wrong tells beside its message: the write-backs the controller
// confirmed and the restore point kept before the reset command.
struct ResetReport {
  std::size_t confirmed = 0;
  std::string restorePoint;  // empty when none was kept
};
// Button 126. The whole procedure runs inside the one call, blocking on every exchange. Before
// the reset command the car's settings are kept as a restore point.
ResetOutcome RunFactoryReset(Program& program, Controls& controls, const RestorePoints& points,
                             ResetReport* report = nullptr);

enum class MessageIcon { Error, Warning, Information };
inline constexpr int kResetCaptionText = 137;
struct ResetMessage {
  int text;  // language text
  MessageIcon icon;
  // A language text, or kIoErrorCaption for "I/O Error" (the restore point's messages are the
  // settings file's).
  int caption = kResetCaptionText;
};
std::optional<ResetMessage> MessageFor(ResetOutcome outcome);
// The lines below the message's text: after the reset command, how many write-backs were
// confirmed and where the restore point is; for a restore point not written, the folders tried.
std::string ResetMessageDetail(ResetOutcome outcome, const ResetReport& report,
                               const RestorePoints& points, const Program& program);

}  // namespace kv
