#include "options/corrections.h"

#include <cstdio>

#include "link/link.h"
#include "link/parameters.h"
#include "link/value_texts.h"
#include "options_ids.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/controls.h"

namespace kv {
namespace {

// Each list edits one nibble; item k shows 2 (k + 1) - d and stands for nibble 15 - k.
struct CorrectionList {
  int id;
  int label;
  Param byte;
  std::uint8_t nibble;  // bits::correction::Low or High
  int d;
};
constexpr CorrectionList kLists[] = {
    {IDC_CORR_IDLE_CLOSING, IDC_CORR_IDLE_CLOSING_LABEL, Param::ZAM_OTW_BJ, bits::correction::Low, 14},
    {IDC_CORR_IDLE_OPENING, IDC_CORR_IDLE_OPENING_LABEL, Param::ZAM_OTW_BJ, bits::correction::High, 12},
    {IDC_CORR_DRIVE_CLOSING, IDC_CORR_DRIVE_CLOSING_LABEL, Param::ZAM_OTW_DO, bits::correction::Low, 22},
    {IDC_CORR_DRIVE_OPENING, IDC_CORR_DRIVE_OPENING_LABEL, Param::ZAM_OTW_DO, bits::correction::High, 18},
};
constexpr int kItems = 16;

const CorrectionList* ListOf(int id) {
  for (const CorrectionList& list : kLists)
    if (list.id == id) return &list;
  return nullptr;
}

}  // namespace

void FillCorrectionsLists(Controls& controls) {
  for (long i = 1; i <= kItems; ++i)
    for (const CorrectionList& list : kLists)
      controls.AddListItem(list.id, CorrectionText(2 * i - list.d));
}

void ApplyCorrectionsTexts(const LanguageTexts& t, Controls& controls) {
  int text = 99;
  for (const CorrectionList& list : kLists) controls.SetText(list.label, t[text++]);
  controls.SetText(kDialogOk, t[103]);
}

bool CorrectionsTick(Program& program, Controls& controls) {
  // An open list stops the poll but not the timer's period check.
  const TickGate gate = program.shared.listOpen ? TickGate::SkipPoll : TickGate::Poll;
  return PollTick(program, gate, Blocks({5}), [&] {
    // Offline or another version: the lists keep what they show.
    const MemoryImage& image = program.link.image;
    if (!IsVersion3(image)) return;
    for (const CorrectionList& list : kLists)
      Select(controls, list.id, 15 - FieldOf(Get(image, list.byte), list.nibble));
  });
}

int CorrectionsCommand(Program& program, Controls& controls, int id, int code) {
  if (id == kDialogOk || id == kDialogCancel) {
    program.shared.correctionsOpen = false;
    return id;
  }
  const CorrectionList* list = ListOf(id);
  if (!list) return 0;
  const int index = ListNotification(program.shared, controls, id, code);
  if (index >= 0)
    WriteParameterBits(program.link, list->byte, list->nibble, IntoField(15 - index, list->nibble));
  return 0;
}

}  // namespace kv
