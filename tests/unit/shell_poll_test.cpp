#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_controller.h"
#include "shell/poll.h"

namespace kv {
namespace {

using testing::PanelRig;

// The requests a tick sent, by block number (1 is the identification).
std::vector<int> Requests(const PanelRig& rig) {
  std::vector<int> blocks;
  for (const auto& frame : rig.port.written) blocks.push_back(frame[1]);
  return blocks;
}

TEST(PollTick, GatesAndControllerStatesDecideExchangeRefreshAndReArm) {
  struct Case {
    const char* name;
    TickGate gate;
    bool answers;
    std::uint8_t identity;
    std::vector<int> requests;
    bool refreshed;
    bool reArmed;  // armedPeriod starts at 0, so any tick that reaches the end re-arms
  };
  const Case cases[] = {
      {"online at version 3", TickGate::Poll, true, 0x45, {1, 2, 4, 5}, true, true},
      {"version 2: identification only", TickGate::Poll, true, 0x25, {1}, true, true},
      {"silent: identification only, still refreshed", TickGate::Poll, false, 0x45, {1}, true,
       true},
      {"skipped poll still follows the period", TickGate::SkipPoll, true, 0x45, {}, false, true},
      {"idle does nothing at all", TickGate::Idle, true, 0x45, {}, false, false},
  };
  for (const Case& c : cases) {
    PanelRig rig;
    rig.controller.answers = c.answers;
    rig.controller.identity = c.identity;
    int refreshes = 0;
    const bool reArm =
        PollTick(rig.program, c.gate, Blocks({2, 4, 5}), [&] { ++refreshes; });
    EXPECT_EQ(c.requests, Requests(rig)) << c.name;
    EXPECT_EQ(c.refreshed ? 1 : 0, refreshes) << c.name;
    EXPECT_EQ(c.reArmed, reArm) << c.name;
    EXPECT_EQ(c.reArmed ? rig.program.link.pollPeriod : 0, rig.program.shared.armedPeriod)
        << c.name;
  }
}

TEST(PollTick, TheBlockChooserIsAskedOnlyWhenTheControllerCanBeRead) {
  PanelRig rig;
  int asked = 0;
  const auto chooser = [&] {
    ++asked;
    return Blocks({3});
  };
  PollTick(rig.program, TickGate::Poll, chooser, [] {});
  EXPECT_EQ((std::vector<int>{1, 3}), Requests(rig));
  rig.controller.answers = false;
  // Two misses leave the link online with the image it had; the third takes it offline.
  for (int i = 0; i < 3; ++i) PollTick(rig.program, TickGate::Poll, chooser, [] {});
  EXPECT_EQ(3, asked);
  EXPECT_EQ(kOfflinePollPeriod, rig.program.shared.armedPeriod);
  EXPECT_FALSE(PollTick(rig.program, TickGate::Poll, chooser, [] {}));
  EXPECT_EQ(3, asked);
}

TEST(PollTick, OpenListsAndSubDialogsGateTheirPollers) {
  SharedValues shared;
  EXPECT_EQ(TickGate::Poll, PanelGate(shared));
  EXPECT_EQ(TickGate::Poll, IdleWhileListOpen(shared));
  shared.subDialogOpen = true;
  EXPECT_EQ(TickGate::SkipPoll, PanelGate(shared));
  EXPECT_EQ(TickGate::Poll, IdleWhileListOpen(shared));  // the sub-dialog itself polls
  shared = {};
  shared.listOpen = true;
  EXPECT_EQ(TickGate::SkipPoll, PanelGate(shared));
  EXPECT_EQ(TickGate::Idle, IdleWhileListOpen(shared));
}

}  // namespace
}  // namespace kv
