// The poll tick every polling panel and dialog runs. Each owns one window timer and, at each
// tick: identifies the controller (which keeps the link's online state), reads the blocks it
// shows when the controller is online at version 3, refreshes from the memory image, and asks for
// the timer to be re-armed when the link's poll period is no longer the armed one. Only one
// poller may talk to the controller at a time: open lists and dialogs hold the others back
// through the shared flags, each poller saying which ones stop it (its gate).
#pragma once

#include <initializer_list>
#include <type_traits>

#include "shell/program.h"
#include "ui/controls.h"

namespace kv {

// Window timer ids: a panel's own timer, and the one of the information dialog and the modal
// sub-dialogs (which run while their panel's timer keeps firing).
inline constexpr unsigned kPanelTimer = 1;
inline constexpr unsigned kDialogTimer = 2;

// What a tick does.
enum class TickGate {
  Poll,      // exchange, refresh, re-arm
  SkipPoll,  // no exchange and no refresh, but the timer follows the poll period
  Idle,      // nothing at all
};
// The configuration and options panels: an open list or sub-dialog skips the poll.
TickGate PanelGate(const SharedValues& shared);
// The readings panel and the sub-dialogs: an open list leaves the tick idle.
TickGate IdleWhileListOpen(const SharedValues& shared);

// A list's notification in a polling panel or dialog: the picked index for a selection change
// (-1 when none is picked); any other notification sets listOpen on a drop-down, clears it
// otherwise, and gives -1.
int ListNotification(SharedValues& shared, const Controls& controls, int id, int code);
// Whether the timer must be re-armed with the link's poll period; if so armedPeriod follows it.
bool FollowPollPeriod(Program& program);

// One tick. `blocks` is a BlockSet, or a callable giving one, asked only when the controller can
// be read; `refresh` shows the memory image (also offline, when it shows the cleared image).
// Returns true when the caller must re-arm its timer with the link's pollPeriod (armedPeriod
// already holds it).
template <typename BlocksOrChooser, typename Refresh>
bool PollTick(Program& program, TickGate gate, BlocksOrChooser&& blocks, Refresh&& refresh) {
  if (gate == TickGate::Idle) return false;
  if (gate == TickGate::Poll) {
    if (IdentifyForReading(program.link)) {
      if constexpr (std::is_invocable_r_v<BlockSet, BlocksOrChooser>)
        ReadBlocks(program.link, blocks());
      else
        ReadBlocks(program.link, blocks);
    }
    refresh();
  }
  return FollowPollPeriod(program);
}

}  // namespace kv
