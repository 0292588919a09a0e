#include "reset/reset.h"

#include <algorithm>

#include "files/restore_point.h"
#include "files/settings_file_commands.h"
#include "link/link.h"
#include "link/parameters.h"
#include "link/signals.h"
#include "reset_ids.h"
#include "shell/program.h"

namespace kv {
namespace {

constexpr ControlText kTexts[] = {
    {IDC_RESET_HEADING, 134}, {IDC_RESET_DESCRIPTION, 135}, {IDC_RESET_BUTTON, 136}};

constexpr ResetPlace kPlaces[5][kResetPlaceCount] = {
    {{IDC_RESET_HEADING, 65, 90, 800, 40}, {IDC_RESET_DESCRIPTION, 65, 130, 800, 40},
     {IDC_RESET_BUTTON, 85, 190, 450, 45}, {IDC_RESET_PROGRESS, 85, 250, 450, 25}},
    {{IDC_RESET_HEADING, 150, 130, 800, 40}, {IDC_RESET_DESCRIPTION, 150, 170, 800, 40},
     {IDC_RESET_BUTTON, 120, 250, 550, 55}, {IDC_RESET_PROGRESS, 120, 320, 550, 30}},
    {{IDC_RESET_HEADING, 250, 150, 800, 40}, {IDC_RESET_DESCRIPTION, 250, 200, 800, 40},
     {IDC_RESET_BUTTON, 150, 300, 700, 65}, {IDC_RESET_PROGRESS, 150, 390, 700, 40}},
    {{IDC_RESET_HEADING, 360, 250, 800, 40}, {IDC_RESET_DESCRIPTION, 360, 300, 800, 40},
     {IDC_RESET_BUTTON, 220, 400, 800, 75}, {IDC_RESET_PROGRESS, 220, 500, 800, 50}},
    {{IDC_RESET_HEADING, 360, 300, 800, 40}, {IDC_RESET_DESCRIPTION, 360, 350, 800, 40},
     {IDC_RESET_BUTTON, 220, 450, 800, 75}, {IDC_RESET_PROGRESS, 220, 550, 800, 50}},
};

void Place(Controls& controls, const ResetPlace& p) {
  controls.Move(p.control, p.x, p.y, p.width, p.height);
}

// The reads of the controller's settings after the reset command; all four are sent, and the
// write-back may only go out when every one of them was accepted: a block left from before the
// command would write the car's old values back and pass for a reset.
bool ReadBack(Link& link) { return ReadBlocks(link, Blocks({2, 3, 4, 5})); }

// The 33 settings, each verified by its echo; the bar shows the last echoed step. Returns how
// many were echoed.
std::size_t WriteBack(Link& link, Controls& controls) {
  for (std::size_t k = 0; k < kWriteBackCount; ++k) {
    const Param param = WriteBackParam(k);
    const std::uint8_t value = Get(link.image, param);
    if (WriteParameter(link, param, value) < 3 || link.lastAck[1] != value) return k;
    controls.SetPosition(IDC_RESET_PROGRESS, static_cast<int>(k));
  }
  return kWriteBackCount;
}

}  // namespace

void StartResetPanel(Controls& controls) {
  controls.SetRange(IDC_RESET_PROGRESS, 0, kResetProgressMaximum);
}

void ApplyResetTexts(const Program& program, Controls& controls) {
  // Only changed captions are set: a static whose text is set repaints, and the captions are
  // applied at every paint of the panel.
  for (const ControlText& t : kTexts)
    if (controls.Text(t.control) != program.texts[t.text])
      controls.SetText(t.control, program.texts[t.text]);
}

const ResetPlace* ResetPlaces(int screenSize) {
  return kPlaces[std::clamp(screenSize, 1, 5) - 1];
}

void PaintResetPanel(const Program& program, Controls& controls) {
  ApplyResetTexts(program, controls);
  const ResetPlace* places = ResetPlaces(program.shell.screenSize);
  for (int i = 0; i < kResetPlaceCount; ++i) Place(controls, places[i]);
}

void PlaceResetTexts(int screenSize, Controls& controls) {
  const ResetPlace* places = ResetPlaces(screenSize);
  for (int i = 0; i < kResetPlaceCount; ++i)
    if (places[i].control != IDC_RESET_PROGRESS) Place(controls, places[i]);
}

ResetOutcome RunFactoryReset(Program& program, Controls& controls, const RestorePoints& points,
                             ResetReport* report) {
  ResetReport ignored;
  ResetReport& out = report ? *report : ignored;
  Link& link = program.link;
  controls.SetPosition(IDC_RESET_PROGRESS, 0);
  Identify(link);
  ReadBlock(link, 2);
  if (IsOperating(link.image)) return ResetOutcome::Refused;  // refused while it operates
  if (!IsVersion3(link.image)) return ResetOutcome::NotSent;
  switch (KeepRestorePoint(link, points, RestoreReason::BeforeReset, &out.restorePoint)) {
    case KeepResult::Kept: break;
    case KeepResult::NoAnswer: return ResetOutcome::NoRestorePointAnswer;
    case KeepResult::CannotWrite: return ResetOutcome::RestorePointNotWritten;
  }
  SendCommand(link, kCommandFactoryReset);  // its acknowledgement is not examined
  if (!ReadBack(link)) return ResetOutcome::NotRestored;
  out.confirmed = WriteBack(link, controls);
  return out.confirmed == kWriteBackCount ? ResetOutcome::Restored : ResetOutcome::NotRestored;
}

std::optional<ResetMessage> MessageFor(ResetOutcome outcome) {
  switch (outcome) {
    case ResetOutcome::Refused: return ResetMessage{200, MessageIcon::Error};
    case ResetOutcome::NotRestored: return ResetMessage{139, MessageIcon::Warning};
    case ResetOutcome::Restored: return ResetMessage{138, MessageIcon::Information};
    case ResetOutcome::NoRestorePointAnswer:
    case ResetOutcome::RestorePointNotWritten: {
      const FileMessage m = RestorePointMessage(outcome == ResetOutcome::NoRestorePointAnswer
                                                    ? KeepResult::NoAnswer
                                                    : KeepResult::CannotWrite);
      return ResetMessage{m.text, MessageIcon::Warning, m.caption};
    }
    case ResetOutcome::NotSent: break;
  }
  return std::nullopt;
}

std::string ResetMessageDetail(ResetOutcome outcome, const ResetReport& report,
                               const RestorePoints& points, const Program& program) {
  if (outcome == ResetOutcome::NotRestored)
    return PartWrittenDetail(program.texts, report.confirmed, kWriteBackCount, report.restorePoint);
  if (outcome == ResetOutcome::RestorePointNotWritten)
    return FoldersTriedDetail(program.texts, RestorePointFolders(points));
  return {};
}

}  // namespace kv
