// The configuration panel's logic against a scripted controller: what each control shows for
// the image, what every pick and click writes, and when the panel polls.
#include <gtest/gtest.h>

#include <functional>

#include "configuration/configuration.h"
#include "configuration_ids.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using testing::PanelRig;
using Writes = std::vector<std::pair<int, int>>;

struct ConfigurationPanel : ::testing::Test {
  PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;

  void SetUp() override {
    for (int n = 0; n < kLanguageTextCount; ++n) program.texts.text[n] = "text " + std::to_string(n);
    FillConfigurationLists(program, c);
    ApplyConfigurationTexts(program, c);
  }
  void Set(ByteRef ref, std::uint8_t value) { rig.controller.Set(ref, value); }
  void SetPeriod(ByteRef low, ByteRef high, unsigned period) {
    Set(low, static_cast<std::uint8_t>(period & 0xFF));
    Set(high, static_cast<std::uint8_t>(period >> 8));
  }
  void Poll() {
    ConfigurationTick(program, c);
    rig.port.ClearLog();
  }
  // What the user does: pick item `index` of a list (the list selects it, then notifies).
  ConfigurationFollowUp Pick(int id, int index) {
    c.SelectListItem(id, index);
    return ConfigurationCommand(program, c, id, kListSelectionChange);
  }
  // A click toggles the box before the panel hears of it.
  void Click(int id) {
    c[id].checked = !c[id].checked;
    ConfigurationCommand(program, c, id, kButtonClicked);
  }
};

TEST_F(ConfigurationPanel, ListsHoldTheirItemsInFormat) {
  // (list, item count, {index, text}...) at the ends and at a carry of each format.
  const struct {
    int id;
    std::size_t count;
    std::vector<std::pair<int, std::string>> samples;
  } lists[] = {
      {IDC_PROBE_TYPE, 6, {{0, "0-1 V"}, {1, "0-5 V -"}, {5, "0,8-1,6 V"}}},
      {IDC_LAMBDA_POINT, 11, {{0, "0,40"}, {10, "0,60"}}},  // the cached type 0 at start
      {IDC_LAMBDA_DELAY, 255, {{0, "0:05"}, {11, "1:00"}, {254, "21:15"}}},
      {IDC_EMUL_TYPE, 3, {{0, "text 61"}, {2, "text 63"}}},
      {IDC_EMUL_TIME_HI, 255, {{0, "0,025"}, {39, "1,000"}, {254, "6,375"}}},
      {IDC_EMUL_TIME_LO, 255, {{0, "0,025"}, {39, "1,000"}, {254, "6,375"}}},
      {IDC_IGNITION_TYPE, 18, {{0, "text 64"}, {17, "text 81"}}},
      {IDC_LPG_ON_SPEED, 21, {{0, "1500"}, {20, "3500"}}},
      {IDC_SPEED_SWITCH, 2, {{0, "text 82"}, {1, "text 83"}}},
      {IDC_TPS_TYPE, 6, {{0, "text 84"}, {5, "text 89"}}},
      {IDC_TPS_INERT, 19, {{0, "0,04"}, {18, "0,40"}}},
      {IDC_INJECT_DELAY, 50, {{0, "0,1"}, {9, "1,0"}, {49, "5,0"}}},
      {IDC_LPG_OFF_SPEED, 41, {{0, "4000"}, {40, "8000"}}},
      {IDC_WOZG, 50, {{0, "0,1"}, {9, "1,0"}, {49, "5,0"}}},
  };
  for (const auto& list : lists) {
    ASSERT_EQ(list.count, c[list.id].items.size()) << list.id;
    for (const auto& [index, text] : list.samples)
      EXPECT_EQ(text, c[list.id].items[static_cast<std::size_t>(index)]) << list.id;
  }
}
// The list's first item stands for this stored value, by probe type.
TEST(LambdaPointList, OffsetByProbeType) {
  EXPECT_EQ(20, LambdaPointOffset(0));
  EXPECT_EQ(50, LambdaPointOffset(5));
  EXPECT_EQ(100, LambdaPointOffset(3));
}

// Every pick of every list sends exactly the writes of the parameter table, with the other bits
// of a bit field taken from the image as last read.
TEST_F(ConfigurationPanel, EveryPickOfEveryListSendsItsAddressAndValue) {
  constexpr std::uint8_t options = 0xA5, lambdaType = 0x29, emulType = 0xD6;
  struct Row {
    int id;
    std::function<Writes(int)> expected;
  };
  const auto plain = [](int address) {
    return [address](int i) { return Writes{{address, i + 1}}; };
  };
  const auto speed = [](int lowAddress, int first) {
    return [=](int i) {
      const int period = 15000000 / (first + 100 * i);
      return Writes{{lowAddress, period & 0xFF}, {lowAddress + 1, period >> 8}};
    };
  };
  const int neutral[6] = {22, 127, 127, 127, 127, 60};
  const int tpsCode[6] = {0, 1, 2, 6, 7, 8};
  const Row rows[] = {
      {IDC_PROBE_TYPE, [&](int i) { return Writes{{6, (lambdaType & 0x0F) | (i << 4)}, {7, neutral[i]}}; }},
      // Probe type 2 in the image: the colon list with offset 100.
      {IDC_LAMBDA_POINT, [](int i) { return Writes{{7, i + 100}}; }},
      {IDC_LAMBDA_DELAY, plain(8)},
      {IDC_EMUL_TYPE, [&](int i) { return Writes{{9, (emulType & 0xFC) | i}}; }},
      {IDC_EMUL_TIME_HI, plain(10)},
      {IDC_EMUL_TIME_LO, plain(11)},
      {IDC_IGNITION_TYPE, plain(23)},
      {IDC_LPG_ON_SPEED, speed(21, 1500)},
      {IDC_SPEED_SWITCH, [&](int i) { return Writes{{5, (options & 0xEF) | (i << 4)}}; }},
      {IDC_TPS_TYPE, [&](int i) { return Writes{{6, (lambdaType & 0xF0) | tpsCode[i]}}; }},
      {IDC_TPS_INERT, plain(29)},
      {IDC_INJECT_DELAY, plain(14)},
      {IDC_LPG_OFF_SPEED, speed(27, 4000)},
      {IDC_WOZG, plain(37)},
  };
  Set(bytes::Options, options);
  Set(bytes::LambdaType, lambdaType);
  Set(bytes::EmulType, emulType);
  Poll();
  ASSERT_EQ(2, program.configuration.cachedLambdaType);

  int picks = 0;
  for (const auto& row : rows) {
    const int count = c.ListCount(row.id);
    ASSERT_GT(count, 0) << row.id;
    for (int i = 0; i < count; ++i) {
      rig.port.ClearLog();
      Pick(row.id, i);
      program.shared.subDialogOpen = false;  // emulation type 0 asks for the dialog
      EXPECT_EQ(row.expected(i), rig.Writes()) << "list " << row.id << " item " << i;
      EXPECT_EQ(rig.port.written.size(), rig.Writes().size()) << "only writes are sent";
      ++picks;
    }
  }
  EXPECT_EQ(6 + 51 + 255 + 3 + 255 + 255 + 18 + 21 + 2 + 6 + 19 + 50 + 41 + 50, picks);
}

// The two directions agree: whatever a pick stores, the next poll shows as that same item (the
// speeds through their periods, the TPS codes through the first code of their item).
TEST_F(ConfigurationPanel, EveryPickComesBackSelectedAtTheNextPoll) {
  Set(bytes::LambdaType, 0x20);
  Poll();
  for (int id : {IDC_LAMBDA_POINT, IDC_LAMBDA_DELAY, IDC_EMUL_TYPE, IDC_EMUL_TIME_HI,
                 IDC_EMUL_TIME_LO, IDC_IGNITION_TYPE, IDC_LPG_ON_SPEED, IDC_SPEED_SWITCH,
                 IDC_TPS_TYPE, IDC_TPS_INERT, IDC_INJECT_DELAY, IDC_LPG_OFF_SPEED, IDC_WOZG,
                 IDC_PROBE_TYPE}) {
    for (int i = 0; i < c.ListCount(id); ++i) {
      Pick(id, i);
      program.shared.subDialogOpen = false;
      c.SelectListItem(id, -1);  // the poll must select it again from the controller's byte
      Poll();
      EXPECT_EQ(i, c.ListSelection(id)) << "list " << id;
    }
  }
}

// A byte just past a list's last item leaves the list without a selection; the last byte in
// range selects the last item.
TEST_F(ConfigurationPanel, BytesPastTheListsShowNoSelection) {
  const struct {
    int id;
    ByteRef ref;
    std::uint8_t last;
  } rows[] = {
      {IDC_IGNITION_TYPE, bytes::IgnitionType, 18},
      {IDC_TPS_INERT, bytes::TPSInert, 19},
      {IDC_INJECT_DELAY, bytes::InjectDelay, 50},
      {IDC_WOZG, bytes::WOZG, 50},
  };
  for (const auto& row : rows) Set(row.ref, row.last);
  Set(bytes::LambdaType, 0x50);
  Poll();
  for (const auto& row : rows) EXPECT_EQ(c.ListCount(row.id) - 1, c.ListSelection(row.id)) << row.id;
  EXPECT_EQ(5, c.ListSelection(IDC_PROBE_TYPE));

  for (const auto& row : rows) Set(row.ref, static_cast<std::uint8_t>(row.last + 1));
  Set(bytes::LambdaType, 0x60);
  Poll();
  for (const auto& row : rows) EXPECT_EQ(-1, c.ListSelection(row.id)) << row.id;
  EXPECT_EQ(-1, c.ListSelection(IDC_PROBE_TYPE));
  EXPECT_EQ(51, c.ListCount(IDC_LAMBDA_POINT)) << "an unknown probe type gets the 0-5 V list";
}

TEST_F(ConfigurationPanel, StoredSpeedsSelectTheirItems) {
  SetPeriod(bytes::LPGOnRPMLo, bytes::LPGOnRPMHi, 6250);  // 2400 rpm
  SetPeriod(bytes::LPGOffRPMLo, bytes::LPGOffRPMHi, 15000000 / 8000);
  Poll();
  EXPECT_EQ("2400", c.SelectedText(IDC_LPG_ON_SPEED));
  EXPECT_EQ("8000", c.SelectedText(IDC_LPG_OFF_SPEED));

  // A speed between two items shows the lower one: 6122 gives 2450, 3092 gives 4850.
  SetPeriod(bytes::LPGOnRPMLo, bytes::LPGOnRPMHi, 6122);
  SetPeriod(bytes::LPGOffRPMLo, bytes::LPGOffRPMHi, 3092);
  Poll();
  EXPECT_EQ("2400", c.SelectedText(IDC_LPG_ON_SPEED));
  EXPECT_EQ("4800", c.SelectedText(IDC_LPG_OFF_SPEED));

  SetPeriod(bytes::LPGOnRPMLo, bytes::LPGOnRPMHi, 0);  // speed 0: below the list
  SetPeriod(bytes::LPGOffRPMLo, bytes::LPGOffRPMHi, 15000000 / 8100);  // above the list
  Poll();
  EXPECT_EQ(0, c.ListSelection(IDC_LPG_ON_SPEED));
  EXPECT_EQ(-1, c.ListSelection(IDC_LPG_OFF_SPEED));

  SetPeriod(bytes::LPGOnRPMLo, bytes::LPGOnRPMHi, 3750);  // 4000 rpm: above 3500
  SetPeriod(bytes::LPGOffRPMLo, bytes::LPGOffRPMHi, 15000000 / 3000);  // below 4000
  Poll();
  EXPECT_EQ(-1, c.ListSelection(IDC_LPG_ON_SPEED));
  EXPECT_EQ(0, c.ListSelection(IDC_LPG_OFF_SPEED));
}

TEST_F(ConfigurationPanel, ProbeTypeChangeWritesNeutralPointAndRebuildsTheListAtTheNextPoll) {
  Set(bytes::LambdaType, 0x07);
  Set(bytes::LambdaPoint, 30);
  Poll();
  EXPECT_EQ("0,60", c.SelectedText(IDC_LAMBDA_POINT));
  const int clears = c[IDC_LAMBDA_POINT].clears;

  Pick(IDC_PROBE_TYPE, 5);
  EXPECT_EQ((Writes{{6, 0x57}, {7, 60}}), rig.Writes());
  EXPECT_EQ(11u, c[IDC_LAMBDA_POINT].items.size()) << "not rebuilt before the poll";

  Poll();
  EXPECT_EQ(clears + 1, c[IDC_LAMBDA_POINT].clears);
  ASSERT_EQ(16u, c[IDC_LAMBDA_POINT].items.size());
  EXPECT_EQ("1,00", c[IDC_LAMBDA_POINT].items.front());
  EXPECT_EQ("1,30", c[IDC_LAMBDA_POINT].items.back());
  EXPECT_EQ("1,20", c.SelectedText(IDC_LAMBDA_POINT));
  EXPECT_EQ(5, program.configuration.cachedLambdaType);

  Poll();
  EXPECT_EQ(clears + 1, c[IDC_LAMBDA_POINT].clears) << "same type: the list stays";
}

TEST_F(ConfigurationPanel, LambdaPointPickBeforeThePollUsesTheCachedTypesOffset) {
  Poll();  // type 0
  Pick(IDC_PROBE_TYPE, 2);
  rig.port.ClearLog();
  Pick(IDC_LAMBDA_POINT, 3);  // the list still shows 0,46
  EXPECT_EQ((Writes{{7, 23}}), rig.Writes());
  Poll();
  rig.port.ClearLog();
  Pick(IDC_LAMBDA_POINT, 3);  // now 2:06
  EXPECT_EQ((Writes{{7, 103}}), rig.Writes());
}

TEST_F(ConfigurationPanel, LambdaPointOutsideTheListShowsNothing) {
  Set(bytes::LambdaPoint, 19);
  Poll();
  EXPECT_EQ("0,40", c.SelectedText(IDC_LAMBDA_POINT));
  Set(bytes::LambdaPoint, 31);
  Poll();
  EXPECT_EQ(-1, c.ListSelection(IDC_LAMBDA_POINT));
}

TEST_F(ConfigurationPanel, CachedProbeTypeSurvivesRecreation) {
  Set(bytes::LambdaType, 0x50);
  Poll();
  testing::FakeControls fresh;
  FillConfigurationLists(program, fresh);
  EXPECT_EQ(16u, fresh[IDC_LAMBDA_POINT].items.size());
}

TEST_F(ConfigurationPanel, TpsCodesMapToItemsAndBitOneDisablesInertia) {
  const int item[16] = {0, 1, 2, 2, 2, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5};
  for (int code = 0; code < 16; ++code) {
    Set(bytes::LambdaType, static_cast<std::uint8_t>(0x30 | code));
    Poll();
    EXPECT_EQ(item[code], c.ListSelection(IDC_TPS_TYPE)) << code;
    const bool enabled = (code & 2) == 0;
    for (int id : {IDC_TPS_INERT, IDC_TPS_INERT_LABEL, IDC_TPS_INERT_UNIT})
      EXPECT_EQ(enabled, c[id].enabled) << "code " << code << " control " << id;
  }
  // Re-picking item 2 stores code 2 whatever code 3..5 was there.
  Set(bytes::LambdaType, 0x34);
  Poll();
  Pick(IDC_TPS_TYPE, c.ListSelection(IDC_TPS_TYPE));
  EXPECT_EQ((Writes{{6, 0x32}}), rig.Writes());
}

TEST_F(ConfigurationPanel, EmulationTypeOutsideTheListDisablesTheTimeRows) {
  const int rows[] = {IDC_EMUL_TIME_HI,      IDC_EMUL_TIME_LO,      IDC_EMUL_TIME_HI_LABEL,
                      IDC_EMUL_TIME_LO_LABEL, IDC_EMUL_TIME_HI_UNIT, IDC_EMUL_TIME_LO_UNIT};
  Set(bytes::EmulType, 0xF3);
  Poll();
  EXPECT_EQ(-1, c.ListSelection(IDC_EMUL_TYPE));
  for (int id : rows) EXPECT_FALSE(c[id].enabled) << id;
  Set(bytes::EmulType, 0xF0);
  Set(bytes::EmulBJ_TimeHi, 40);
  Set(bytes::EmulBJ_TimeLo, 0);
  Poll();
  EXPECT_EQ(0, c.ListSelection(IDC_EMUL_TYPE));
  for (int id : rows) EXPECT_TRUE(c[id].enabled) << id;
  EXPECT_EQ("1,000", c.SelectedText(IDC_EMUL_TIME_HI));
  EXPECT_EQ("0,025", c.SelectedText(IDC_EMUL_TIME_LO));
}

TEST_F(ConfigurationPanel, PickingEmulationTypeZeroAsksForTheDialog) {
  Set(bytes::EmulType, 0x0E);
  Poll();
  EXPECT_EQ(ConfigurationFollowUp::None, Pick(IDC_EMUL_TYPE, 1));
  EXPECT_FALSE(program.shared.subDialogOpen);
  rig.port.ClearLog();
  // Picked from the open list, before its close-up notification.
  ConfigurationCommand(program, c, IDC_EMUL_TYPE, kListDropDown);
  EXPECT_EQ(ConfigurationFollowUp::OpenEmulationDialog, Pick(IDC_EMUL_TYPE, 0));
  EXPECT_EQ((Writes{{9, 0x0C}}), rig.Writes());
  EXPECT_TRUE(program.shared.subDialogOpen);
  EXPECT_FALSE(program.shared.listOpen) << "the dialog must be able to poll";
  // While the dialog is open the panel's ticks send nothing and leave the controls alone.
  rig.port.ClearLog();
  c.SelectListItem(IDC_EMUL_TYPE, 2);
  ConfigurationTick(program, c);
  EXPECT_TRUE(rig.port.written.empty());
  EXPECT_EQ(2, c.ListSelection(IDC_EMUL_TYPE));
}

TEST_F(ConfigurationPanel, OpenListStopsPollingUntilItCloses) {
  Poll();
  ConfigurationCommand(program, c, IDC_LPG_ON_SPEED, kListDropDown);
  EXPECT_TRUE(program.shared.listOpen);
  c.SelectListItem(IDC_LPG_ON_SPEED, 7);  // the user moves through the open list
  ConfigurationTick(program, c);
  ConfigurationTick(program, c);
  EXPECT_TRUE(rig.port.calls.empty());
  EXPECT_EQ(7, c.ListSelection(IDC_LPG_ON_SPEED));

  ConfigurationCommand(program, c, IDC_LPG_ON_SPEED, 8);  // closed up without a change
  EXPECT_FALSE(program.shared.listOpen);
  ConfigurationTick(program, c);
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 02 02 69", "65 03 03 6B", "65 04 04 6D"}),
            rig.Frames());
  EXPECT_EQ(0, c.ListSelection(IDC_LPG_ON_SPEED));
}

TEST_F(ConfigurationPanel, TimerFollowsThePollPeriod) {
  program.shared.armedPeriod = 50;
  EXPECT_FALSE(ConfigurationTick(program, c));
  rig.controller.answers = false;
  for (int i = 0; i < 2; ++i) EXPECT_FALSE(ConfigurationTick(program, c));
  EXPECT_TRUE(ConfigurationTick(program, c));  // third miss: offline, 500 ms
  EXPECT_EQ(500, program.shared.armedPeriod);
  EXPECT_FALSE(ConfigurationTick(program, c));
  // A list open blocks the poll but not the timer's period check.
  rig.controller.answers = true;
  program.shared.listOpen = true;
  program.link.pollPeriod = 50;
  EXPECT_TRUE(ConfigurationTick(program, c));
  EXPECT_EQ(50, program.shared.armedPeriod);
}

TEST_F(ConfigurationPanel, UncheckingLpgOffHidesTheListOnlyAtTheNextRefresh) {
  Set(bytes::Options, 0x55);
  Poll();
  EXPECT_TRUE(c[IDC_LPG_OFF_ENABLE].checked);
  EXPECT_TRUE(c[IDC_LPG_OFF_SPEED].visible);
  EXPECT_TRUE(c[IDC_LPG_OFF_SPEED_UNIT].visible);
  Click(IDC_LPG_OFF_ENABLE);
  EXPECT_EQ((Writes{{5, 0x15}}), rig.Writes());
  EXPECT_TRUE(c[IDC_LPG_OFF_SPEED].visible);
  Poll();
  EXPECT_FALSE(c[IDC_LPG_OFF_SPEED].visible);
  EXPECT_FALSE(c[IDC_LPG_OFF_SPEED_UNIT].visible);
  Click(IDC_LPG_OFF_ENABLE);
  EXPECT_EQ((Writes{{5, 0x55}}), rig.Writes());
}

TEST_F(ConfigurationPanel, EmulationCheckBoxesWriteTheirBitsAtVersionThreeOnly) {
  Set(bytes::EmulType, 0x09);  // bit 3 set, bit 2 clear
  Poll();
  EXPECT_TRUE(c[IDC_LOW_SIGNAL].enabled);
  EXPECT_FALSE(c[IDC_LOW_SIGNAL].checked);
  EXPECT_TRUE(c[IDC_EMERGENCY_START].checked);
  for (int id : {IDC_WOZG, IDC_WOZG_LABEL, IDC_WOZG_UNIT}) EXPECT_TRUE(c[id].visible) << id;
  Click(IDC_LOW_SIGNAL);
  EXPECT_EQ((Writes{{9, 0x0D}}), rig.Writes());
  Poll();
  Click(IDC_EMERGENCY_START);
  EXPECT_EQ((Writes{{9, 0x05}}), rig.Writes());
  Poll();
  EXPECT_TRUE(c[IDC_LOW_SIGNAL].checked);
  EXPECT_FALSE(c[IDC_EMERGENCY_START].checked);
  for (int id : {IDC_WOZG, IDC_WOZG_LABEL, IDC_WOZG_UNIT}) EXPECT_FALSE(c[id].visible) << id;

  // Another version: the boxes are disabled, keep their marks, and a click sends nothing.
  rig.controller.identity = 0x25;  // version 2
  Poll();
  EXPECT_FALSE(c[IDC_LOW_SIGNAL].enabled);
  EXPECT_FALSE(c[IDC_EMERGENCY_START].enabled);
  EXPECT_TRUE(c[IDC_LOW_SIGNAL].checked);
  Click(IDC_LOW_SIGNAL);
  Click(IDC_EMERGENCY_START);
  Click(IDC_LPG_OFF_ENABLE);
  EXPECT_TRUE(rig.port.written.empty());
}

TEST_F(ConfigurationPanel, OfflineShowsTheClearedImage) {
  Set(bytes::Options, 0x40);
  Set(bytes::EmulType, 0x0C);
  Set(bytes::IgnitionType, 5);
  SetPeriod(bytes::LPGOnRPMLo, bytes::LPGOnRPMHi, 6000);
  Poll();
  EXPECT_TRUE(c[IDC_LOW_SIGNAL].checked);
  rig.controller.answers = false;
  for (int i = 0; i < 3; ++i) Poll();
  ASSERT_TRUE(program.link.offline);
  for (int id : {IDC_PROBE_TYPE, IDC_LAMBDA_POINT, IDC_LAMBDA_DELAY, IDC_EMUL_TYPE, IDC_EMUL_TIME_HI,
                 IDC_EMUL_TIME_LO, IDC_IGNITION_TYPE, IDC_LPG_ON_SPEED, IDC_SPEED_SWITCH, IDC_TPS_TYPE,
                 IDC_TPS_INERT, IDC_INJECT_DELAY, IDC_WOZG})
    EXPECT_EQ(0, c.ListSelection(id)) << id;
  EXPECT_FALSE(c[IDC_LPG_OFF_ENABLE].checked);
  EXPECT_FALSE(c[IDC_LPG_OFF_SPEED].visible);
  EXPECT_FALSE(c[IDC_LOW_SIGNAL].enabled);
  EXPECT_TRUE(c[IDC_LOW_SIGNAL].checked) << "the mark stays as it was";
  EXPECT_FALSE(c[IDC_EMERGENCY_START].enabled);
  EXPECT_FALSE(c[IDC_WOZG].visible);
  rig.port.ClearLog();
  Pick(IDC_LPG_ON_SPEED, 3);
  EXPECT_TRUE(rig.port.written.empty());
}

TEST_F(ConfigurationPanel, AChangeToNoSelectionWritesNothing) {
  Set(bytes::LambdaType, 0x20);
  Poll();
  for (int id : {IDC_PROBE_TYPE, IDC_LPG_ON_SPEED, IDC_TPS_TYPE, IDC_LAMBDA_POINT}) {
    c.SelectListItem(id, -1);
    ConfigurationCommand(program, c, id, kListSelectionChange);
  }
  EXPECT_TRUE(rig.port.written.empty());
}

}  // namespace
}  // namespace kv
