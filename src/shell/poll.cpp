#include "shell/poll.h"

namespace kv {

TickGate PanelGate(const SharedValues& shared) {
  return (shared.listOpen || shared.subDialogOpen) ? TickGate::SkipPoll : TickGate::Poll;
}

TickGate IdleWhileListOpen(const SharedValues& shared) {
  return shared.listOpen ? TickGate::Idle : TickGate::Poll;
}

int ListNotification(SharedValues& shared, const Controls& controls, int id, int code) {
  if (code == kListSelectionChange) return PickedIndex(controls, id);
  shared.listOpen = code == kListDropDown;
  return -1;
}

bool FollowPollPeriod(Program& program) {
  if (program.link.pollPeriod == program.shared.armedPeriod) return false;
  program.shared.armedPeriod = program.link.pollPeriod;
  return true;
}

}  // namespace kv
