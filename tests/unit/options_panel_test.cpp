// The options panel's logic against a scripted controller: what each control shows for the
// image, what every pick and click writes, when rows show, and when the panel polls.
#include <gtest/gtest.h>

#include <functional>

#include "options/options.h"
#include "options_ids.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using Writes = std::vector<std::pair<int, int>>;

// The switch-on temperature list's bytes, 10 .. 60 degrees.
constexpr int kTemperatureBytes[26] = {94,  99,  104, 109, 114, 120, 125, 130, 135,
                                       140, 145, 151, 156, 161, 166, 171, 176, 182,
                                       187, 192, 197, 201, 202, 204, 206, 208};

constexpr int kAllLists[] = {IDC_OPT_ATT_INIT,      IDC_OPT_ATT_MIN_BJ,    IDC_OPT_ATT_MAX_BJ,
                             IDC_OPT_ATT_MIN,       IDC_OPT_ATT_MAX,       IDC_OPT_ATT_JUMP,
                             IDC_OPT_TPS_JUMP,      IDC_OPT_CUT_OFF_SPEED, IDC_OPT_CUT_OFF_STEPS,
                             IDC_OPT_LPG_ON_TEMP,   IDC_OPT_EMUL_MODE};

struct OptionsPanel : ::testing::Test {
  testing::PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;

  void SetUp() override {
    FillOptionsLists(program, c);
    ApplyOptionsTexts(program, c);
  }
  void Set(Param p, std::uint8_t value) { rig.Set(p, value); }
  void Poll() {
    OptionsTick(program, c);
    rig.port.ClearLog();
  }
  OptionsFollowUp Pick(int id, int index) {
    c.SelectListItem(id, index);
    return OptionsCommand(program, c, id, kListSelectionChange);
  }
  // A click toggles the box before the panel hears of it.
  OptionsFollowUp Click(int id) {
    c[id].checked = !c[id].checked;
    return OptionsCommand(program, c, id, kButtonClicked);
  }
  void GoOffline() {
    rig.controller.answers = false;
    for (int i = 0; i < 3; ++i) Poll();
    ASSERT_TRUE(program.link.offline);
  }
};

TEST_F(OptionsPanel, ListsHoldTheirItemsInFormat) {
  const struct {
    int id;
    std::size_t count;
    std::vector<std::pair<int, std::string>> samples;
  } lists[] = {
      {IDC_OPT_ATT_INIT, 256, {{0, "0"}, {255, "255"}}},
      {IDC_OPT_ATT_MIN_BJ, 256, {{0, "-0"}, {12, "-12"}, {255, "-255"}}},
      {IDC_OPT_ATT_MAX_BJ, 256, {{0, "+0"}, {255, "+255"}}},
      {IDC_OPT_ATT_MIN, 256, {{7, "-7"}}},
      {IDC_OPT_ATT_MAX, 256, {{7, "+7"}}},
      {IDC_OPT_ATT_JUMP, 50, {{0, "2"}, {49, "100"}}},
      {IDC_OPT_TPS_JUMP, 51, {{0, "0,0"}, {9, "0,9"}, {10, "1,0"}, {50, "5,0"}}},
      {IDC_OPT_CUT_OFF_SPEED, 16, {{0, "1000"}, {15, "2500"}}},
      {IDC_OPT_CUT_OFF_STEPS, 50, {{0, "2"}, {49, "100"}}},
      {IDC_OPT_LPG_ON_TEMP, 26, {{0, "10"}, {25, "60"}}},
      {IDC_OPT_EMUL_MODE, 3, {{0, "text 129"}, {2, "text 131"}}},
  };
  for (const auto& list : lists) {
    ASSERT_EQ(list.count, c[list.id].items.size()) << list.id;
    for (const auto& [index, text] : list.samples)
      EXPECT_EQ(text, c[list.id].items[static_cast<std::size_t>(index)]) << list.id;
  }
  for (const auto& [id, text] : std::vector<std::pair<int, int>>{
           {IDC_OPT_HEADING_SENSOR, 39}, {IDC_OPT_SENSOR_CHANGE, 197}, {IDC_OPT_CORRECTIONS, 97},
           {IDC_OPT_MANUAL_BASE, 104}, {IDC_OPT_ATT_MAX_LABEL, 108}, {IDC_OPT_ATT_JUMP_UNIT, 123},
           {IDC_OPT_LPG_ON_TEMP_UNIT, 128}, {IDC_OPT_HEADING_EMULATION, 96}})
    EXPECT_EQ("text " + std::to_string(text), c[id].text) << id;
}

// Every pick of every list and every click of every option box sends exactly the writes of the
// parameter table, the other bits of a bit field taken from the image as last read; with a TPS
// of code 1 and of another code.
TEST_F(OptionsPanel, EveryPickAndClickSendsItsAddressAndValue) {
  constexpr std::uint8_t options = 0xA5, emulType = 0xD6;
  for (const std::uint8_t lambdaType : {0x31, 0x34}) {
    const bool reversed = (lambdaType & 0x0F) == 1;
    const auto plain = [](int address) {
      return [address](int i) { return Writes{{address, i}}; };
    };
    const auto even = [](int address) {
      return [address](int i) { return Writes{{address, 2 * i + 2}}; };
    };
    const std::pair<int, std::function<Writes(int)>> rows[] = {
        {IDC_OPT_ATT_INIT, plain(18)},
        {IDC_OPT_ATT_MIN_BJ, plain(32)},
        {IDC_OPT_ATT_MAX_BJ, plain(31)},
        {IDC_OPT_ATT_MIN, plain(17)},
        {IDC_OPT_ATT_MAX, plain(16)},
        {IDC_OPT_ATT_JUMP, even(20)},
        {IDC_OPT_TPS_JUMP, [&](int i) { return Writes{{19, reversed ? 250 - 5 * i : 5 * i}}; }},
        {IDC_OPT_CUT_OFF_SPEED,
         [](int i) {
           const int period = 15000000 / (1000 + 100 * i);
           return Writes{{24, period & 0xFF}, {25, period >> 8}};
         }},
        {IDC_OPT_CUT_OFF_STEPS, even(26)},
        {IDC_OPT_LPG_ON_TEMP, [](int i) { return Writes{{15, kTemperatureBytes[i]}}; }},
        {IDC_OPT_EMUL_MODE, [&](int i) { return Writes{{9, (emulType & 0xCF) | (i << 4)}}; }},
    };
    Set(Param::Options, options);
    Set(Param::LambdaType, lambdaType);
    Set(Param::EmulType, emulType);
    Poll();

    int picks = 0;
    for (const auto& [id, expected] : rows) {
      for (int i = 0; i < c.ListCount(id); ++i) {
        rig.port.ClearLog();
        EXPECT_EQ(OptionsFollowUp::None, Pick(id, i));
        EXPECT_EQ(expected(i), rig.Writes()) << "list " << id << " item " << i;
        EXPECT_EQ(rig.port.written.size(), rig.Writes().size()) << "only writes are sent";
        ++picks;
      }
    }
    EXPECT_EQ(5 * 256 + 50 + 51 + 16 + 50 + 26 + 3, picks);

    // Each box writes its bit both ways; 1034 is checked while bit 2 is clear.
    const struct {
      int id;
      std::uint8_t bit;
      bool inverted;
    } boxes[] = {{IDC_OPT_MANUAL_BASE, 0x04, true},
                 {IDC_OPT_JUMP, 0x08, false},
                 {IDC_OPT_CUT_OFF, 0x20, false},
                 {IDC_OPT_TEMPERATURE, 0x02, false}};
    for (const auto& box : boxes) {
      for (const bool checked : {true, false}) {
        rig.port.ClearLog();
        c[box.id].checked = !checked;
        Click(box.id);
        const bool set = checked != box.inverted;
        EXPECT_EQ((Writes{{5, (options & ~box.bit & 0xFF) | (set ? box.bit : 0)}}), rig.Writes())
            << "box " << box.id << " checked " << checked;
      }
    }
  }
}

// Whatever a pick stores, the next poll shows as that same item (the temperatures through their
// bytes, the cut-off speeds through their periods, the TPS jump both ways round).
TEST_F(OptionsPanel, EveryPickComesBackSelectedAtTheNextPoll) {
  for (const std::uint8_t lambdaType : {0x01, 0x00}) {
    Set(Param::LambdaType, lambdaType);
    Poll();
    for (int id : kAllLists) {
      for (int i = 0; i < c.ListCount(id); ++i) {
        Pick(id, i);
        c.SelectListItem(id, -1);
        Poll();
        EXPECT_EQ(i, c.ListSelection(id)) << "list " << id << " code " << int(lambdaType);
      }
    }
  }
}

TEST_F(OptionsPanel, EvenListsShowTheEvenValueBelowAndNothingPastTheirEnd) {
  const struct {
    std::uint8_t byte;
    std::string shown;  // "" for no selection
  } cases[] = {{0, "2"}, {1, "2"}, {2, "2"}, {3, "2"}, {4, "4"}, {5, "4"}, {99, "98"},
               {100, "100"}, {101, "100"}, {102, ""}, {255, ""}};
  for (const auto& k : cases) {
    Set(Param::AttJump, k.byte);
    Set(Param::CutOffSteps, k.byte);
    Poll();
    EXPECT_EQ(k.shown, c.SelectedText(IDC_OPT_ATT_JUMP)) << int(k.byte);
    EXPECT_EQ(k.shown, c.SelectedText(IDC_OPT_CUT_OFF_STEPS)) << int(k.byte);
  }
  Set(Param::AttJump, 3);
  Poll();
  Pick(IDC_OPT_ATT_JUMP, c.ListSelection(IDC_OPT_ATT_JUMP));
  EXPECT_EQ((Writes{{20, 2}}), rig.Writes());
}

TEST_F(OptionsPanel, TpsJumpRunsFromTwoHundredFiftyDownForTpsCodeOne) {
  const struct {
    std::uint8_t code, byte;
    std::string shown;
  } cases[] = {{1, 250, "0,0"}, {1, 0, "5,0"}, {1, 25, "4,5"}, {1, 251, "0,0"}, {1, 255, ""},
               {0, 250, "5,0"}, {0, 254, "5,0"}, {0, 255, ""},    {0, 24, "0,4"},  {4, 25, "0,5"}};
  for (const auto& k : cases) {
    Set(Param::LambdaType, static_cast<std::uint8_t>(0x20 | k.code));
    Set(Param::TPSJump, k.byte);
    Poll();
    EXPECT_EQ(k.shown, c.SelectedText(IDC_OPT_TPS_JUMP)) << int(k.code) << " " << int(k.byte);
  }
  Set(Param::LambdaType, 0x01);
  Poll();
  Pick(IDC_OPT_TPS_JUMP, 0);
  Pick(IDC_OPT_TPS_JUMP, 50);
  EXPECT_EQ((Writes{{19, 250}, {19, 0}}), rig.Writes());
}

TEST_F(OptionsPanel, SwitchTpsClearsTheJumpBoxWithoutWriting) {
  Set(Param::Options, 0x08);
  for (int code = 0; code < 16; ++code) {
    Set(Param::LambdaType, static_cast<std::uint8_t>(code));
    Poll();
    const bool switchTps = code == 2 || code == 3 || code == 6 || code == 7;
    EXPECT_EQ(!switchTps, c[IDC_OPT_JUMP].enabled) << code;
    EXPECT_EQ(!switchTps, c[IDC_OPT_JUMP].checked) << code;
    for (int id : {IDC_OPT_ATT_JUMP, IDC_OPT_TPS_JUMP, IDC_OPT_ATT_JUMP_LABEL,
                   IDC_OPT_TPS_JUMP_LABEL, IDC_OPT_ATT_JUMP_UNIT, IDC_OPT_TPS_JUMP_UNIT})
      EXPECT_EQ(!switchTps, c[id].visible) << "code " << code << " control " << id;
    EXPECT_TRUE(rig.port.written.empty());
    rig.port.ClearLog();
    OptionsTick(program, c);
    EXPECT_TRUE(rig.Writes().empty()) << code;
  }
  EXPECT_EQ(0x08, rig.Held(Param::Options)) << "the stored bit stays";
}

TEST_F(OptionsPanel, OptionBoxesShowTheirRowsAtTheNextRefresh) {
  const struct {
    int box;
    std::uint8_t bit;
    std::vector<int> rows;
  } boxes[] = {
      {IDC_OPT_JUMP, 0x08,
       {IDC_OPT_ATT_JUMP, IDC_OPT_TPS_JUMP, IDC_OPT_ATT_JUMP_LABEL, IDC_OPT_TPS_JUMP_LABEL,
        IDC_OPT_ATT_JUMP_UNIT, IDC_OPT_TPS_JUMP_UNIT}},
      {IDC_OPT_CUT_OFF, 0x20,
       {IDC_OPT_CUT_OFF_SPEED, IDC_OPT_CUT_OFF_STEPS, IDC_OPT_CUT_OFF_SPEED_LABEL,
        IDC_OPT_CUT_OFF_STEPS_LABEL, IDC_OPT_CUT_OFF_SPEED_UNIT, IDC_OPT_CUT_OFF_STEPS_UNIT}},
      {IDC_OPT_TEMPERATURE, 0x02, {IDC_OPT_LPG_ON_TEMP, IDC_OPT_LPG_ON_TEMP_UNIT}},
  };
  Set(Param::Options, 0x2A | 0x04);  // all three set; bit 2 set: no manual base position
  Poll();
  EXPECT_FALSE(c[IDC_OPT_MANUAL_BASE].checked);
  EXPECT_FALSE(c[IDC_OPT_ATT_INIT].visible);
  EXPECT_FALSE(c[IDC_OPT_ATT_INIT_UNIT].visible);
  for (const auto& box : boxes) {
    EXPECT_TRUE(c[box.box].checked) << box.box;
    for (int id : box.rows) EXPECT_TRUE(c[id].visible) << id;
    Click(box.box);
    for (int id : box.rows) EXPECT_TRUE(c[id].visible) << "hidden only at the refresh " << id;
    Poll();
    for (int id : box.rows) EXPECT_FALSE(c[id].visible) << id;
  }
  Click(IDC_OPT_MANUAL_BASE);
  EXPECT_EQ((Writes{{5, 0x00}}), rig.Writes());
  Poll();
  EXPECT_TRUE(c[IDC_OPT_MANUAL_BASE].checked);
  EXPECT_TRUE(c[IDC_OPT_ATT_INIT].visible);
  EXPECT_TRUE(c[IDC_OPT_ATT_INIT_UNIT].visible);
}

TEST_F(OptionsPanel, TemperatureBytesSelectTheirDegrees) {
  const struct {
    std::uint8_t byte;
    std::string shown;
  } cases[] = {{0, "10"}, {60, "10"}, {94, "10"}, {145, "30"}, {197, "50"},
               {201, "52"}, {208, "60"}, {210, ""},  {255, ""}};
  for (const auto& k : cases) {
    Set(Param::LPGOnTemp, k.byte);
    Poll();
    EXPECT_EQ(k.shown, c.SelectedText(IDC_OPT_LPG_ON_TEMP)) << int(k.byte);
  }
}

TEST_F(OptionsPanel, SensorTypeNameAndEmulationMode) {
  const struct {
    std::uint8_t options;
    std::string name;
  } cases[] = {{0x81, "text 181"}, {0x01, "text 181"}, {0x80, "text 182"}, {0x7E, "text 183"}};
  for (const auto& k : cases) {
    Set(Param::Options, k.options);
    Poll();
    EXPECT_EQ(k.name, c[IDC_OPT_SENSOR_TYPE].text) << int(k.options);
  }
  for (int mode = 0; mode < 4; ++mode) {
    Set(Param::EmulType, static_cast<std::uint8_t>(0xC7 | (mode << 4)));
    Poll();
    EXPECT_EQ(mode < 3 ? mode : -1, c.ListSelection(IDC_OPT_EMUL_MODE)) << mode;
  }
}

TEST_F(OptionsPanel, CutOffSpeedsSelectTheirItems) {
  const struct {
    unsigned period;
    int index;
  } cases[] = {{10000, 5}, {15000, 0}, {6000, 15}, {0, 0}, {5000, -1}, {20000, 0}};
  for (const auto& k : cases) {
    Set(Param::CutOffRPMLo, static_cast<std::uint8_t>(k.period & 0xFF));
    Set(Param::CutOffRPMHi, static_cast<std::uint8_t>(k.period >> 8));
    Poll();
    EXPECT_EQ(k.index, c.ListSelection(IDC_OPT_CUT_OFF_SPEED)) << k.period;
  }
}

TEST_F(OptionsPanel, JumpListTakesTheFormOfTheVersion) {
  Set(Param::AttJump, 40);
  Poll();
  EXPECT_EQ(50, c.ListCount(IDC_OPT_ATT_JUMP));
  EXPECT_EQ("40", c.SelectedText(IDC_OPT_ATT_JUMP));
  EXPECT_EQ("text 132", c[IDC_OPT_ATT_JUMP_LABEL].text);
  EXPECT_EQ("text 126", c[IDC_OPT_ATT_JUMP_UNIT].text);
  const int clears = c[IDC_OPT_ATT_JUMP].clears;
  Poll();
  EXPECT_EQ(clears, c[IDC_OPT_ATT_JUMP].clears) << "same version: the list stays";

  // Version 2: the blocks are not read, the list shows the raw byte still in the image.
  rig.controller.identity = 0x25;
  Poll();
  EXPECT_EQ(clears + 1, c[IDC_OPT_ATT_JUMP].clears);
  EXPECT_EQ(256, c.ListCount(IDC_OPT_ATT_JUMP));
  EXPECT_EQ("40", c.SelectedText(IDC_OPT_ATT_JUMP));
  EXPECT_EQ(40, c.ListSelection(IDC_OPT_ATT_JUMP));
  EXPECT_EQ("text 110", c[IDC_OPT_ATT_JUMP_LABEL].text);
  EXPECT_EQ("text 123", c[IDC_OPT_ATT_JUMP_UNIT].text);
  for (int id : kAllLists) Pick(id, 1);
  for (int id : {IDC_OPT_MANUAL_BASE, IDC_OPT_JUMP, IDC_OPT_CUT_OFF, IDC_OPT_TEMPERATURE}) Click(id);
  EXPECT_TRUE(rig.port.written.empty()) << "nothing is written to another version";

  rig.controller.identity = 0x45;
  Poll();
  EXPECT_EQ(clears + 2, c[IDC_OPT_ATT_JUMP].clears);
  EXPECT_EQ(50, c.ListCount(IDC_OPT_ATT_JUMP));
  EXPECT_EQ("40", c.SelectedText(IDC_OPT_ATT_JUMP));
}

TEST_F(OptionsPanel, OfflineShowsTheClearedImage) {
  Set(Param::Options, 0xAF);
  Set(Param::AttMax, 40);
  Poll();
  GoOffline();
  EXPECT_TRUE(c[IDC_OPT_MANUAL_BASE].checked) << "bit 2 clear reads as checked";
  for (int id : {IDC_OPT_JUMP, IDC_OPT_CUT_OFF, IDC_OPT_TEMPERATURE}) EXPECT_FALSE(c[id].checked) << id;
  EXPECT_EQ("text 183", c[IDC_OPT_SENSOR_TYPE].text);
  EXPECT_EQ(256, c.ListCount(IDC_OPT_ATT_JUMP));
  for (int id : {IDC_OPT_ATT_INIT, IDC_OPT_ATT_MAX, IDC_OPT_ATT_JUMP, IDC_OPT_CUT_OFF_SPEED,
                 IDC_OPT_CUT_OFF_STEPS, IDC_OPT_LPG_ON_TEMP, IDC_OPT_EMUL_MODE})
    EXPECT_EQ(0, c.ListSelection(id)) << id;
  Pick(IDC_OPT_ATT_MAX, 3);
  Click(IDC_OPT_CUT_OFF);
  EXPECT_TRUE(rig.port.written.empty());
}

TEST_F(OptionsPanel, CorrectionsOpenFreezesTheTickCompletely) {
  program.shared.armedPeriod = 50;
  Poll();
  EXPECT_EQ(OptionsFollowUp::OpenCorrections, Click(IDC_OPT_CORRECTIONS));
  EXPECT_TRUE(program.shared.correctionsOpen);
  c.SelectListItem(IDC_OPT_ATT_MAX, 9);
  program.link.pollPeriod = 500;  // as if the dialog's polling had gone offline
  EXPECT_FALSE(OptionsTick(program, c)) << "not even the timer is restarted";
  EXPECT_EQ(50, program.shared.armedPeriod);
  EXPECT_TRUE(rig.port.calls.empty());
  EXPECT_EQ(9, c.ListSelection(IDC_OPT_ATT_MAX));

  program.shared.correctionsOpen = false;
  OptionsTick(program, c);
  EXPECT_EQ(4u, rig.port.written.size()) << "polling again once the dialog has closed";
  EXPECT_EQ(0, c.ListSelection(IDC_OPT_ATT_MAX)) << "and refreshing";
}

TEST_F(OptionsPanel, GasSensorButtonAndOpenListsStopPollingButNotTheTimer) {
  Poll();
  EXPECT_EQ(OptionsFollowUp::OpenGasSensor, Click(IDC_OPT_SENSOR_CHANGE));
  EXPECT_TRUE(program.shared.subDialogOpen);
  program.shared.armedPeriod = 500;
  EXPECT_TRUE(OptionsTick(program, c));
  EXPECT_TRUE(rig.port.calls.empty());
  program.shared.subDialogOpen = false;

  OptionsCommand(program, c, IDC_OPT_CUT_OFF_SPEED, kListDropDown);
  EXPECT_TRUE(program.shared.listOpen);
  OptionsTick(program, c);
  EXPECT_TRUE(rig.port.calls.empty());
  OptionsCommand(program, c, IDC_OPT_CUT_OFF_SPEED, 8);  // closed up
  EXPECT_FALSE(program.shared.listOpen);
  OptionsTick(program, c);
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 02 02 69", "65 03 03 6B", "65 04 04 6D"}),
            rig.Frames());
  // Notifications other than a click do nothing on the buttons and boxes.
  rig.port.ClearLog();
  for (int id : {IDC_OPT_CORRECTIONS, IDC_OPT_SENSOR_CHANGE, IDC_OPT_CUT_OFF})
    EXPECT_EQ(OptionsFollowUp::None, OptionsCommand(program, c, id, 6));
  EXPECT_TRUE(rig.port.written.empty());
  EXPECT_FALSE(program.shared.correctionsOpen || program.shared.subDialogOpen);
}

TEST_F(OptionsPanel, AChangeToNoSelectionWritesNothing) {
  Poll();
  for (int id : kAllLists) {
    c.SelectListItem(id, -1);
    OptionsCommand(program, c, id, kListSelectionChange);
  }
  EXPECT_TRUE(rig.port.written.empty());
}

}  // namespace
}  // namespace kv
