// The emulation construction dialog: its poll of Block 3, the redraw rule, the time writes,
// closing, and the square-wave picture.
#include <gtest/gtest.h>

#include "configuration/configuration.h"
#include "configuration/emulation.h"
#include "configuration_ids.h"
#include "scripted_controller.h"
#include "recording_canvas.h"

namespace kv {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

// The wave's columns after its start point, split into phases of equal height.
struct Phase {
  int y;
  std::vector<Point> columns;
};
std::vector<Phase> Phases(const RecordingCanvas& canvas) {
  const auto lines = canvas.Of(DrawCall::Polyline);
  std::vector<Phase> phases;
  for (const auto& line : lines) {
    if (!(line.pen == Pen{colour::Yellow, 1})) continue;
    EXPECT_EQ((Point{60, 45}), line.points.front());
    for (std::size_t i = 1; i < line.points.size(); ++i) {
      const Point p = line.points[i];
      if (phases.empty() || phases.back().y != p.y) phases.push_back({p.y, {}});
      phases.back().columns.push_back(p);
    }
  }
  return phases;
}

TEST(EmulationChart, PhaseLengthsFollowHighAndLowTimes) {
  RecordingCanvas canvas;
  DrawEmulationChart(canvas, 0, 1, 255);
  auto phases = Phases(canvas);
  ASSERT_GE(phases.size(), 4u);
  EXPECT_EQ(45, phases[0].y);
  EXPECT_EQ(2u, phases[0].columns.size());
  EXPECT_EQ(145, phases[1].y);
  EXPECT_EQ(129u, phases[1].columns.size());
  EXPECT_EQ(2u, phases[2].columns.size());

  canvas.Clear();
  DrawEmulationChart(canvas, 0, 40, 40);
  phases = Phases(canvas);
  ASSERT_GE(phases.size(), 21u);
  for (std::size_t i = 0; i + 1 < phases.size(); ++i) EXPECT_EQ(22u, phases[i].columns.size()) << i;
}

TEST(EmulationChart, EachPhaseStartsWithAVerticalEdgeAndTheWaveStopsAt480Columns) {
  for (auto [high, low] : {std::pair{40, 40}, std::pair{1, 255}, std::pair{0, 0}, std::pair{255, 3}}) {
    RecordingCanvas canvas;
    DrawEmulationChart(canvas, 2, high, low);
    const auto phases = Phases(canvas);
    int k = 0;
    Point previous{60, 45};
    for (const auto& phase : phases) {
      for (std::size_t i = 0; i < phase.columns.size(); ++i, ++k) {
        const Point p = phase.columns[i];
        if (i == 0) {
          EXPECT_EQ(59 + k, p.x);  // straight above or below the last point
          if (k > 0) {
            EXPECT_EQ(previous.x, p.x);
          }
        } else {
          EXPECT_EQ(60 + k, p.x);
        }
        previous = p;
      }
    }
    // Whole phases end at column 480 at the latest; a phase running past it stops after 480.
    EXPECT_TRUE(k == 480 || k == 481) << k << " columns for H " << high << " L " << low;
    EXPECT_LE(previous.x, 540);
  }
}

TEST(EmulationChart, LabelsPerProbeType) {
  const auto labels = [](int type) {
    RecordingCanvas c;
    DrawEmulationChart(c, type, 10, 10);
    EXPECT_EQ((Rect{10, 10, 550, 165}), c.calls.front().rect) << "black background first";
    std::vector<std::pair<std::string, Point>> out;
    for (const auto& t : c.Of(DrawCall::Text)) {
      EXPECT_EQ(colour::White, t.textColour);
      EXPECT_EQ(colour::Black, t.background);
      out.emplace_back(t.text, t.points[0]);
    }
    return out;
  };
  using Labels = std::vector<std::pair<std::string, Point>>;
  EXPECT_EQ((Labels{{"[ V ]", {15, 15}}, {"0", {23, 135}}, {"1", {23, 35}}}), labels(0));
  EXPECT_EQ((Labels{{"[ V ]", {15, 15}}, {"0.8", {15, 135}}, {"1.6", {15, 35}}}), labels(5));
  const Labels volts{{"[ V ]", {15, 15}}, {"0", {23, 135}}, {"1", {23, 115}}, {"2", {23, 95}},
                     {"3", {23, 75}},     {"4", {23, 55}},  {"5", {23, 35}}};
  for (int type : {1, 2, 3, 4, 6, 15}) EXPECT_EQ(volts, labels(type)) << type;
}
struct EmulationDialog : ::testing::Test {
  testing::PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;
  RecordingCanvas canvas;

  void SetUp() override {
    program.texts.text[43] = "Typ emulacji sondy Lambda";
    program.texts.text[61] = "Prostokątna";
    FillEmulationLists(c);
    ApplyEmulationTexts(program.texts, c);
    program.shared.subDialogOpen = true;
  }
  bool Tick() {
    canvas.Clear();
    rig.port.ClearLog();
    return EmulationTick(program, c, canvas);
  }
  bool Drew() const { return !canvas.calls.empty(); }
};

TEST_F(EmulationDialog, ListsTextsAndCaption) {
  for (int id : {IDC_EMULDLG_HIGH, IDC_EMULDLG_LOW}) {
    ASSERT_EQ(255u, c[id].items.size());
    EXPECT_EQ("0,025", c[id].items[0]);
    EXPECT_EQ("6,375", c[id].items[254]);
  }
  EXPECT_EQ("Typ emulacji sondy Lambda:   Prostokątna", EmulationCaption(program.texts));
}

TEST_F(EmulationDialog, PollsOnlyIdentificationAndBlockThree) {
  rig.controller.Set(bytes::EmulBJ_TimeHi, 40);
  rig.controller.Set(bytes::EmulBJ_TimeLo, 3);
  Tick();
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 03 03 6B"}), rig.Frames());
  EXPECT_EQ("1,000", c.SelectedText(IDC_EMULDLG_HIGH));
  EXPECT_EQ("0,075", c.SelectedText(IDC_EMULDLG_LOW));
}

TEST_F(EmulationDialog, RedrawsOnlyForNewTimesOrAfterAPaint) {
  rig.controller.Set(bytes::EmulBJ_TimeHi, 40);
  rig.controller.Set(bytes::EmulBJ_TimeLo, 40);
  EmulationPainted(program);
  Tick();
  EXPECT_TRUE(Drew());
  EXPECT_EQ(22u, Phases(canvas).front().columns.size());
  Tick();
  EXPECT_FALSE(Drew());
  // A new probe type alone does not redraw the labels.
  rig.controller.Set(bytes::LambdaType, 0x50);
  Tick();
  EXPECT_FALSE(Drew());
  rig.controller.Set(bytes::EmulBJ_TimeLo, 41);
  Tick();
  EXPECT_TRUE(Drew());
  EXPECT_EQ("0.8", canvas.Texts()[1]);
  EmulationPainted(program);
  Tick();
  EXPECT_TRUE(Drew());
}

TEST_F(EmulationDialog, OpenListStopsPollingAndTheTimerRestart) {
  program.shared.armedPeriod = 0;
  EmulationCommand(program, c, IDC_EMULDLG_LOW, kListDropDown);
  EXPECT_TRUE(program.shared.listOpen);
  EmulationPainted(program);
  EXPECT_FALSE(Tick());
  EXPECT_TRUE(rig.port.calls.empty());
  EXPECT_FALSE(Drew());
  EmulationCommand(program, c, IDC_EMULDLG_LOW, 8);
  EXPECT_FALSE(program.shared.listOpen);
  EXPECT_TRUE(Tick());
  EXPECT_EQ(50, program.shared.armedPeriod);
  EXPECT_TRUE(Drew());
}

TEST_F(EmulationDialog, PicksWriteTheTimesAndClosingClearsSubDialogOpen) {
  Tick();
  rig.port.ClearLog();
  c.SelectListItem(IDC_EMULDLG_HIGH, 39);
  EXPECT_EQ(0, EmulationCommand(program, c, IDC_EMULDLG_HIGH, kListSelectionChange));
  c.SelectListItem(IDC_EMULDLG_LOW, 254);
  EmulationCommand(program, c, IDC_EMULDLG_LOW, kListSelectionChange);
  EXPECT_EQ((std::vector<std::string>{"65 0B 28 98", "65 0C FF 70"}), rig.Frames());
  EXPECT_TRUE(program.shared.subDialogOpen);

  EXPECT_EQ(2, EmulationCommand(program, c, 2, kButtonClicked));  // Esc or the close box
  EXPECT_FALSE(program.shared.subDialogOpen);
  program.shared.subDialogOpen = true;
  EXPECT_EQ(1, EmulationCommand(program, c, 1, kButtonClicked));
  EXPECT_FALSE(program.shared.subDialogOpen);
}

TEST_F(EmulationDialog, OfflineDrawsTwoColumnPhasesForProbeTypeZero) {
  rig.controller.answers = false;
  for (int i = 0; i < 3; ++i) Tick();
  ASSERT_TRUE(program.link.offline);
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67"}), rig.Frames());
  EmulationPainted(program);
  Tick();
  const auto phases = Phases(canvas);
  ASSERT_FALSE(phases.empty());
  EXPECT_EQ(2u, phases[0].columns.size());
  EXPECT_EQ("1", canvas.Texts()[2]);
  EXPECT_EQ(0, c.ListSelection(IDC_EMULDLG_HIGH));
  EXPECT_EQ(0, c.ListSelection(IDC_EMULDLG_LOW));
}

}  // namespace
}  // namespace kv
