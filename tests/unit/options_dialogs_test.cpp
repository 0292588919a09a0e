// The corrections and gas level sensor dialogs against a scripted controller: nibble lists and
// their writes, the dialogs' own polling, the scroll bars, the lamps and the factory button.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/value_texts.h"
#include "options/corrections.h"
#include "options/gas_sensor.h"
#include "options_ids.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using testing::DrawCall;
using Writes = std::vector<std::pair<int, int>>;
using Frames = std::vector<std::string>;

const std::string kIdentify = "65 01 01 67", kBlock3 = "65 03 03 6B", kBlock5 = "65 05 05 6F";

struct Corrections : ::testing::Test {
  testing::PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;

  void SetUp() override {
    FillCorrectionsLists(c);
    ApplyCorrectionsTexts(program.texts, c);
    program.shared.correctionsOpen = true;
  }
  void Poll() {
    CorrectionsTick(program, c);
    rig.port.ClearLog();
  }
  void Pick(int id, int index) {
    c.SelectListItem(id, index);
    CorrectionsCommand(program, c, id, kListSelectionChange);
  }
};

TEST_F(Corrections, ListsRunInEvenStepsWithABareZero) {
  const struct {
    int id;
    std::string first, last;
  } lists[] = {{IDC_CORR_IDLE_CLOSING, "-12", "+18"},
               {IDC_CORR_IDLE_OPENING, "-10", "+20"},
               {IDC_CORR_DRIVE_CLOSING, "-20", "+10"},
               {IDC_CORR_DRIVE_OPENING, "-16", "+14"}};
  for (const auto& list : lists) {
    const auto& items = c[list.id].items;
    ASSERT_EQ(16u, items.size()) << list.id;
    EXPECT_EQ(list.first, items.front()) << list.id;
    EXPECT_EQ(list.last, items.back()) << list.id;
    // Even steps of 2, zero printed bare.
    for (std::size_t k = 0; k < items.size(); ++k)
      EXPECT_EQ(CorrectionText(std::stol(list.first) + 2 * static_cast<long>(k)), items[k]);
    EXPECT_EQ(1, std::count(items.begin(), items.end(), "0")) << list.id;
  }
  EXPECT_EQ("text 99", c[IDC_CORR_IDLE_CLOSING_LABEL].text);
  EXPECT_EQ("text 102", c[IDC_CORR_DRIVE_OPENING_LABEL].text);
  EXPECT_EQ("text 103", c[1].text);
}

TEST_F(Corrections, NibblesSelectFifteenMinusTheirValue) {
  const struct {
    std::uint8_t bj, dO;
    std::string idleClosing, idleOpening, driveClosing, driveOpening;
  } cases[] = {{0x00, 0x00, "+18", "+20", "+10", "+14"},
               {0xFF, 0xFF, "-12", "-10", "-20", "-16"},
               {0x7C, 0x95, "-6", "+6", "0", "-4"}};
  for (const auto& k : cases) {
    rig.Set(Param::ZAM_OTW_BJ, k.bj);
    rig.Set(Param::ZAM_OTW_DO, k.dO);
    Poll();
    EXPECT_EQ(k.idleClosing, c.SelectedText(IDC_CORR_IDLE_CLOSING)) << int(k.bj);
    EXPECT_EQ(k.idleOpening, c.SelectedText(IDC_CORR_IDLE_OPENING)) << int(k.bj);
    EXPECT_EQ(k.driveClosing, c.SelectedText(IDC_CORR_DRIVE_CLOSING)) << int(k.dO);
    EXPECT_EQ(k.driveOpening, c.SelectedText(IDC_CORR_DRIVE_OPENING)) << int(k.dO);
  }
}

// Every pick rewrites its byte with the picked nibble, the other nibble from the image.
TEST_F(Corrections, EveryPickWritesItsNibbleAndKeepsTheOther) {
  rig.Set(Param::ZAM_OTW_BJ, 0x7C);
  rig.Set(Param::ZAM_OTW_DO, 0xA9);
  Poll();
  const struct {
    int id, address, kept, shift;
  } lists[] = {{IDC_CORR_IDLE_CLOSING, 12, 0x70, 0},
               {IDC_CORR_IDLE_OPENING, 12, 0x0C, 4},
               {IDC_CORR_DRIVE_CLOSING, 13, 0xA0, 0},
               {IDC_CORR_DRIVE_OPENING, 13, 0x09, 4}};
  for (const auto& list : lists) {
    for (int i = 0; i < 16; ++i) {
      rig.port.ClearLog();
      Pick(list.id, i);
      EXPECT_EQ((Writes{{list.address, list.kept | ((15 - i) << list.shift)}}), rig.Writes())
          << list.id << " item " << i;
    }
  }
  rig.port.ClearLog();
  Pick(IDC_CORR_IDLE_CLOSING, 15);  // +18
  EXPECT_EQ((Writes{{12, 0x70}}), rig.Writes());
}

TEST_F(Corrections, PollsOnlyBlockFiveAndStopsWhileAListIsOpen) {
  program.shared.armedPeriod = 50;
  CorrectionsTick(program, c);
  EXPECT_EQ((Frames{kIdentify, kBlock5}), rig.Frames());
  rig.port.ClearLog();

  CorrectionsCommand(program, c, IDC_CORR_DRIVE_OPENING, kListDropDown);
  EXPECT_TRUE(program.shared.listOpen);
  c.SelectListItem(IDC_CORR_DRIVE_OPENING, 2);
  program.link.pollPeriod = 500;
  EXPECT_TRUE(CorrectionsTick(program, c)) << "the timer check runs with a list open";
  EXPECT_TRUE(rig.port.calls.empty());
  EXPECT_EQ(2, c.ListSelection(IDC_CORR_DRIVE_OPENING));
  CorrectionsCommand(program, c, IDC_CORR_DRIVE_OPENING, 10);  // selection cancelled
  EXPECT_FALSE(program.shared.listOpen);
}

TEST_F(Corrections, OfflineOrAnotherVersionKeepsTheSelections) {
  rig.Set(Param::ZAM_OTW_BJ, 0x7C);
  Poll();
  rig.controller.identity = 0x25;
  CorrectionsTick(program, c);
  EXPECT_EQ((Frames{kIdentify}), rig.Frames());
  EXPECT_EQ("-6", c.SelectedText(IDC_CORR_IDLE_CLOSING));
  Pick(IDC_CORR_IDLE_CLOSING, 0);
  EXPECT_TRUE(rig.Writes().empty());

  rig.controller.answers = false;
  for (int i = 0; i < 3; ++i) Poll();
  ASSERT_TRUE(program.link.offline);
  EXPECT_EQ(0, c.ListSelection(IDC_CORR_IDLE_CLOSING)) << "the pick above stays shown";
}

TEST_F(Corrections, OkEscapeAndTheCloseBoxEndTheDialogAndLetThePanelPoll) {
  for (int id : {1, 2}) {
    program.shared.correctionsOpen = true;
    EXPECT_EQ(id, CorrectionsCommand(program, c, id, kButtonClicked));
    EXPECT_FALSE(program.shared.correctionsOpen);
  }
  program.shared.correctionsOpen = true;
  EXPECT_EQ(0, CorrectionsCommand(program, c, 1075, kButtonClicked));
  EXPECT_TRUE(program.shared.correctionsOpen);
}

struct GasSensor : ::testing::Test {
  testing::PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;
  testing::RecordingCanvas& canvas = rig.canvas;

  void SetUp() override {
    InitGasSensorDialog(program.texts, c);
    program.shared.subDialogOpen = true;
    rig.Set(Param::Options, 0x00);
    rig.Set(Param::Prog1, 40);
    rig.Set(Param::Prog2, 90);
    rig.Set(Param::Prog3, 140);
    rig.Set(Param::Prog4, 250);
  }
  void Poll() {
    GasSensorTick(program, c, canvas);
    rig.port.ClearLog();
  }
  void Scroll(int bar, int code, int thumb = 0) { GasSensorScroll(program, c, bar, code, thumb); }
  // The fill colours of the five lamps last drawn, reserve first.
  std::vector<Rgb> Lamps() const {
    std::vector<Rgb> out;
    for (const auto& call : canvas.Of(DrawCall::Rectangle))
      if (call.rect.left == 20 && call.rect.right == 40) out.push_back(call.brush.colour);
    return std::vector<Rgb>(out.end() - std::min<std::ptrdiff_t>(5, std::ssize(out)), out.end());
  }
};

const Rgb kRed{255, 0, 0}, kDim{128, 84, 79}, kGreen{0, 255, 0}, kOlive{128, 128, 0};

TEST_F(GasSensor, StartsWithRangesZerosAndTexts) {
  for (int bar : {IDC_GAS_PROG1_BAR, IDC_GAS_PROG2_BAR, IDC_GAS_PROG3_BAR, IDC_GAS_PROG4_BAR}) {
    EXPECT_EQ(0, c[bar].minimum);
    EXPECT_EQ(255, c[bar].maximum);
  }
  for (int field : {IDC_GAS_PROG1_FIELD, IDC_GAS_PROG2_FIELD, IDC_GAS_PROG3_FIELD, IDC_GAS_PROG4_FIELD})
    EXPECT_EQ("0", c[field].text);
  EXPECT_EQ((std::vector<std::string>{"text 181", "text 182", "text 183"}), c[IDC_GAS_TYPE].items);
  EXPECT_EQ("text 189", c[IDC_GAS_FACTORY].text);
  EXPECT_EQ("text 160", c[1].text);
  EXPECT_EQ("text 52", c[IDC_GAS_TYPE_LABEL].text);
}

TEST_F(GasSensor, PollsBlocksThreeAndFiveAndShowsThePoints) {
  rig.controller.Set(bytes::GasLevel, 0xFB);  // level 3 in bits 2..0
  GasSensorTick(program, c, canvas);
  EXPECT_EQ((Frames{kIdentify, kBlock3, kBlock5}), rig.Frames());
  const struct {
    int bar, field, value;
  } points[] = {{IDC_GAS_PROG1_BAR, IDC_GAS_PROG1_FIELD, 40},
                {IDC_GAS_PROG2_BAR, IDC_GAS_PROG2_FIELD, 90},
                {IDC_GAS_PROG3_BAR, IDC_GAS_PROG3_FIELD, 140},
                {IDC_GAS_PROG4_BAR, IDC_GAS_PROG4_FIELD, 250}};
  for (const auto& p : points) {
    EXPECT_EQ(p.value, c[p.bar].position) << p.bar;
    EXPECT_EQ(std::to_string(p.value), c[p.field].text) << p.field;
    EXPECT_TRUE(c[p.bar].enabled && c[p.field].enabled) << p.bar;
  }
  EXPECT_TRUE(c[IDC_GAS_FACTORY].enabled);
  EXPECT_EQ(2, c.ListSelection(IDC_GAS_TYPE));
  EXPECT_EQ((std::vector<Rgb>{kDim, kGreen, kGreen, kGreen, kOlive}), Lamps());
}

TEST_F(GasSensor, LampsFollowTheLevel) {
  const struct {
    int level;
    std::vector<Rgb> lamps;  // reserve, 1/4, 2/4, 3/4, 4/4
  } cases[] = {{0, {kRed, kOlive, kOlive, kOlive, kOlive}},
               {1, {kDim, kGreen, kOlive, kOlive, kOlive}},
               {3, {kDim, kGreen, kGreen, kGreen, kOlive}},
               {4, {kDim, kGreen, kGreen, kGreen, kGreen}},
               {6, {kDim, kOlive, kOlive, kOlive, kOlive}}};
  for (const auto& k : cases) {
    rig.controller.Set(bytes::GasLevel, static_cast<std::uint8_t>(k.level));
    Poll();
    EXPECT_EQ(k.lamps, Lamps()) << k.level;
  }
  // The lamps stand 20 x 20 at x 20, from 4/4 at the top to the reserve at the bottom.
  const auto rects = canvas.Of(DrawCall::Rectangle);
  const int tops[5] = {198, 158, 118, 78, 38};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ((Rect{20, tops[i], 40, tops[i] + 20}), rects[rects.size() - 5 + i].rect) << i;
}

TEST_F(GasSensor, NoSensorAnotherVersionOrOfflineDisableThePointsAndLightNothing) {
  rig.controller.Set(bytes::GasLevel, 0);
  Poll();
  rig.Set(Param::Options, 0x01);  // no sensor: type 0
  Poll();
  EXPECT_EQ(0, c.ListSelection(IDC_GAS_TYPE));
  const auto disabled = [&](const char* why) {
    for (int id : {IDC_GAS_PROG1_BAR, IDC_GAS_PROG4_BAR, IDC_GAS_PROG2_FIELD, IDC_GAS_PROG3_FIELD,
                   IDC_GAS_FACTORY})
      EXPECT_FALSE(c[id].enabled) << why << " " << id;
    EXPECT_EQ("0", c[IDC_GAS_PROG1_FIELD].text) << why;
    EXPECT_EQ((std::vector<Rgb>{kDim, kOlive, kOlive, kOlive, kOlive}), Lamps()) << why;
  };
  disabled("type 0");

  rig.Set(Param::Options, 0x80);
  rig.controller.identity = 0x25;
  GasSensorTick(program, c, canvas);
  EXPECT_EQ((Frames{kIdentify, kBlock3}), rig.Frames()) << "Block 3 alone at another version";
  EXPECT_EQ(1, c.ListSelection(IDC_GAS_TYPE));
  disabled("version 2");
  rig.port.ClearLog();
  c.SelectListItem(IDC_GAS_TYPE, 2);
  GasSensorCommand(program, c, IDC_GAS_TYPE, kListSelectionChange);
  GasSensorCommand(program, c, IDC_GAS_FACTORY, kButtonClicked);
  EXPECT_EQ((Frames{kIdentify}), rig.Frames()) << "the factory button only identifies";

  rig.controller.answers = false;
  for (int i = 0; i < 3; ++i) Poll();
  ASSERT_TRUE(program.link.offline);
  EXPECT_EQ(2, c.ListSelection(IDC_GAS_TYPE));
  disabled("offline");
}

TEST_F(GasSensor, SensorTypeReplacesBitsZeroAndSeven) {
  const struct {
    std::uint8_t options;
    int index;
    int written;
  } cases[] = {{0x41, 1, 0xC0}, {0x41, 0, 0x41}, {0x41, 2, 0x40}, {0xFE, 0, 0x7F},
               {0x80, 2, 0x00}, {0x7E, 1, 0xFE}};
  for (const auto& k : cases) {
    rig.Set(Param::Options, k.options);
    Poll();
    c.SelectListItem(IDC_GAS_TYPE, k.index);
    GasSensorCommand(program, c, IDC_GAS_TYPE, kListSelectionChange);
    EXPECT_EQ((Writes{{5, k.written}}), rig.Writes()) << int(k.options) << " " << k.index;
  }
  GasSensorCommand(program, c, IDC_GAS_TYPE, kListDropDown);
  EXPECT_TRUE(program.shared.listOpen);
  rig.port.ClearLog();
  Poll();
  EXPECT_TRUE(rig.port.calls.empty());
  GasSensorCommand(program, c, IDC_GAS_TYPE, 8);
  EXPECT_FALSE(program.shared.listOpen);
}

TEST_F(GasSensor, ScrollStepsStopAtTheEnds) {
  const struct {
    int start, code, thumb, result;
  } cases[] = {{0, ScrollLineUp, 0, 0},      {1, ScrollLineUp, 0, 0},
               {255, ScrollLineDown, 0, 255}, {100, ScrollLineDown, 0, 101},
               {5, ScrollPageUp, 0, 0},      {100, ScrollPageUp, 0, 90},
               {250, ScrollPageDown, 0, 255}, {100, ScrollPageDown, 0, 110},
               {100, ScrollThumbTrack, 7, 7},  {100, ScrollThumbPosition, 7, 100},
               {100, 6, 0, 100},                {100, ScrollThumbTrack, -3, 0},
               {100, ScrollThumbTrack, 300, 255}};
  for (const auto& k : cases) {
    rig.Set(Param::Prog2, static_cast<std::uint8_t>(k.start));
    Poll();
    Scroll(IDC_GAS_PROG2_BAR, k.code, k.thumb);
    EXPECT_EQ(k.result, c[IDC_GAS_PROG2_BAR].position) << k.start << " code " << k.code;
    EXPECT_TRUE(rig.port.written.empty());
    Scroll(IDC_GAS_PROG2_BAR, ScrollEnd);
    EXPECT_EQ((Writes{{34, k.result}}), rig.Writes()) << k.start << " code " << k.code;
    EXPECT_EQ(std::to_string(k.result), c[IDC_GAS_PROG2_FIELD].text);
    EXPECT_FALSE(program.options.dragging);
  }
}

TEST_F(GasSensor, ADragSendsOneWriteWhenReleasedAndPollingWaitsForIt) {
  Poll();
  const int bars[4] = {IDC_GAS_PROG1_BAR, IDC_GAS_PROG2_BAR, IDC_GAS_PROG3_BAR, IDC_GAS_PROG4_BAR};
  for (int k = 0; k < 4; ++k) {
    for (int thumb : {60, 70, 80 + k}) {
      Scroll(bars[k], ScrollThumbTrack, thumb);
      EXPECT_TRUE(program.options.dragging);
      Poll();  // suspended: nothing sent, the value not pulled back
      EXPECT_EQ(thumb, c[bars[k]].position);
    }
    Scroll(bars[k], ScrollThumbPosition, 80 + k);
    EXPECT_TRUE(rig.port.calls.empty());
    Scroll(bars[k], ScrollEnd);
    EXPECT_EQ((Writes{{33 + k, 80 + k}}), rig.Writes()) << k;
    EXPECT_EQ(1u, rig.port.written.size());
    Poll();
    EXPECT_EQ(80 + k, c[bars[k]].position) << "read back from the controller";
  }
}

TEST_F(GasSensor, FactoryButtonSendsTheCommandAndThenThePointsReadBack) {
  Poll();
  GasSensorCommand(program, c, IDC_GAS_FACTORY, kButtonClicked);
  EXPECT_EQ((Frames{kIdentify, "65 1F 34 B8", kBlock5, "65 22 28 AF", "65 23 5A E2", "65 24 8C 15",
                    "65 25 BE 48"}),
            rig.Frames());
  EXPECT_EQ((Writes{{30, 52}, {33, 40}, {34, 90}, {35, 140}, {36, 190}}), rig.Writes());
}

TEST_F(GasSensor, FactoryButtonSendsNoStalePointsWhenTheReadBackFails) {
  Poll();
  rig.controller.silentAfterCommand = 1;
  GasSensorCommand(program, c, IDC_GAS_FACTORY, kButtonClicked);
  EXPECT_EQ((Frames{kIdentify, "65 1F 34 B8", kBlock5}), rig.Frames());
  EXPECT_EQ(190, rig.Held(Param::Prog4)) << "the controller keeps its factory points";
  rig.port.ClearLog();
  Poll();
  EXPECT_EQ(190, c[IDC_GAS_PROG4_BAR].position) << "the next tick shows them";
}

TEST_F(GasSensor, PaintDrawsTheBackgroundAndLeavesTheProgrammableControlsDisabled) {
  Poll();
  canvas.Clear();
  GasSensorPainted(c, canvas);
  const auto rects = canvas.Of(DrawCall::Rectangle);
  ASSERT_EQ(6u, rects.size());
  EXPECT_EQ((Rect{0, 0, 500, 260}), rects[0].rect);
  EXPECT_EQ((Rgb{128, 128, 128}), rects[0].brush.colour);
  EXPECT_EQ((std::vector<Rgb>{kDim, kOlive, kOlive, kOlive, kOlive}), Lamps());
  for (int id : {1, IDC_GAS_LEVEL_RESERVE, IDC_GAS_LEVEL_4}) EXPECT_TRUE(c[id].enabled) << id;
  for (int id : {IDC_GAS_PROG1_BAR, IDC_GAS_PROG4_FIELD, IDC_GAS_FACTORY}) EXPECT_FALSE(c[id].enabled) << id;
  Poll();
  for (int id : {IDC_GAS_PROG1_BAR, IDC_GAS_PROG4_FIELD, IDC_GAS_FACTORY}) EXPECT_TRUE(c[id].enabled) << id;
}

TEST_F(GasSensor, CloseEscapeAndTheCloseBoxEndTheDialogAndLetThePanelPoll) {
  for (int id : {1, 2}) {
    program.shared.subDialogOpen = true;
    EXPECT_EQ(id, GasSensorCommand(program, c, id, kButtonClicked));
    EXPECT_FALSE(program.shared.subDialogOpen);
  }
}

}  // namespace
}  // namespace kv
