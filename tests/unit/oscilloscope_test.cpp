// The oscilloscope panel through a fake port, fake controls and the recording canvas: what goes on
// the line at each tick, what a sample draws and where, and the value cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oscilloscope/oscilloscope.h"
#include "recording_canvas.h"
#include "scripted_controller.h"
#include "shell/screen_size.h"

namespace kv {
namespace {

using testing::DrawCall;
using testing::FakeControls;
using testing::FakePort;
using testing::RecordingCanvas;

const std::string kIdentify = "65 01 01 67", kBlock2 = "65 02 02 69", kBlock3 = "65 03 03 6B";

// The panel's rig under the names its tests use.
struct Scope : testing::PanelRig {
  Program& p = program;
  FakeControls& ui = controls;

  explicit Scope(int size = 2) {
    SetScreenSize(p.shell, size);
    testing::NumberTexts(p, "t");
  }
  // Sets a byte in the program's image and in the controller alike.
  void Set(ByteRef r, std::uint8_t v) {
    p.link.image.blocks[static_cast<std::size_t>(r.block - 1)][r.index] = v;
    controller.Set(r, v);
  }
  void Enter() {
    EnterOscilloscope(p, canvas, ui);
    canvas.Clear();
    port.ClearLog();
  }
  void Tick() {
    canvas.Clear();
    port.ClearLog();
    OscilloscopeTick(p, canvas, ui);
  }
  std::vector<std::string> Sent() const { return port.Frames(); }
  std::string TextAt(Point at) const {
    for (auto it = canvas.calls.rbegin(); it != canvas.calls.rend(); ++it)
      if (it->kind == DrawCall::Text && it->points[0] == at) return it->text;
    return "-";
  }
};

OscilloscopeSample SampleOf(int lambda, int type, int throttle = 0, long speed = 0) {
  OscilloscopeSample s;
  s.lambda = lambda;
  s.type = static_cast<std::uint8_t>(type);
  s.throttle = throttle;
  s.speed = speed;
  return s;
}

TEST(OscilloscopeTraces, DeflectionsLimitsAndInversions) {
  struct Case {
    OscilloscopeSample sample;
    int trace;  // 0..4
    int deflection;
  } cases[] = {
      {SampleOf(51, 0x00), 0, 76},        // probe type 0: y 54
      {SampleOf(51, 0x10), 0, 15},        // any other type: 76 / 5
      {SampleOf(255, 0x00), 0, 80},       // limited
      {SampleOf(0, 0x00, 100), 4, 32},    // 32.26
      {SampleOf(0, 0x01, 100), 4, 50},    // code 1 inverts: 155 / 3.1
      {SampleOf(0, 0x03, 100), 4, 50},    // code 3 inverts
      {SampleOf(0, 0x05, 100), 4, 50},    // code 5 inverts
      {SampleOf(0, 0x07, 100), 4, 32},    // code 7: low three bits all set, not inverted
      {SampleOf(0, 0x00, 255), 4, 82},    // the largest throttle deflection
      {SampleOf(0, 0, 0, 12350), 3, 80},  // speed limited
      {SampleOf(0, 0, 0, 4000), 3, 40},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.deflection, TraceDeflections(c.sample)[static_cast<std::size_t>(c.trace)])
        << "trace " << c.trace + 1 << " type " << int(c.sample.type);
  OscilloscopeSample s;
  s.actuator = 200, s.attInit = 100;
  EXPECT_EQ(66, TraceDeflections(s)[1]);
  EXPECT_EQ(33, TraceDeflections(s)[2]);
}

TEST(OscilloscopeTraces, EngineSpeedFromTheImage) {
  MemoryImage m;
  m.blocks[1][6] = 0x04, m.blocks[1][5] = 0xBE;  // period 1214: 12350 rpm
  EXPECT_EQ(12350, CurrentSample(m).speed);
  m.blocks[1][6] = 255;  // whatever byte 5 holds
  EXPECT_EQ(0, CurrentSample(m).speed);
}

TEST(OscilloscopeValues, TextsForEachSensorCode) {
  struct Case {
    std::uint8_t type, tps, status;
    const char* throttle;
    bool unit;  // "V" drawn after the value
  } cases[] = {
      {0x00, 100, 0x00, "1.96", true}, {0x01, 100, 0x00, "3.04", true},
      {0x02, 100, 0x00, "_.__", false}, {0x03, 100, 0x00, "_.__", false},
      {0x05, 100, 0x00, "1.96", true}, {0x06, 100, 0x00, " ON", false},
      {0x07, 100, 0x10, "OFF", false}, {0x0F, 100, 0x10, "1.96", true},
  };
  for (const Case& c : cases) {
    Scope s;
    s.Set(bytes::Tps, c.tps);
    s.Set(bytes::LambdaType, c.type);
    s.Set(bytes::Status, c.status);
    OscilloscopeValueDisplay(s.p, s.canvas, s.ui);
    EXPECT_EQ(c.throttle, s.TextAt({630, 400})) << int(c.type);
    EXPECT_EQ(c.unit ? "V" : "-", s.TextAt({700, 400})) << int(c.type);
    bool blanked = false;
    for (const auto& call : s.canvas.Of(DrawCall::Rectangle))
      blanked |= call.rect == Rect{676, 400, 698, 436} && call.brush.colour == colour::White;
    EXPECT_EQ(c.type == 0x06 || c.type == 0x07, blanked) << int(c.type);
  }
}

TEST(OscilloscopeValues, LambdaActuatorSpeedAndFuelState) {
  Scope s;
  s.Set(bytes::Lambda, 51);
  s.Set(bytes::Actuator, 45);
  s.Set(bytes::PeriodHi, 0x04), s.Set(bytes::PeriodLo, 0xBE);
  s.Set(bytes::Switches, 0x01);
  OscilloscopeValueDisplay(s.p, s.canvas, s.ui);
  EXPECT_EQ("0.99", s.TextAt({630, 70}));
  EXPECT_EQ("045", s.TextAt({630, 180}));
  EXPECT_EQ("1235", s.TextAt({630, 290}));
  EXPECT_EQ(12350, s.p.shared.engineSpeed);
  EXPECT_EQ("t15", s.TextAt({675, 475}));
  EXPECT_EQ(colour::Cyan, s.canvas.Of(DrawCall::Rectangle).back().brush.colour);

  s.Set(bytes::Lambda, 0);
  s.Set(bytes::LambdaType, 0x40);  // probe types 3 and 4 show 5 - v
  s.Set(bytes::Switches, 0x00);
  s.canvas.Clear();
  OscilloscopeValueDisplay(s.p, s.canvas, s.ui);
  EXPECT_EQ("5.00", s.TextAt({630, 70}));
  EXPECT_EQ("t14", s.TextAt({655, 475}));
  EXPECT_EQ((Rect{630, 465, 755, 505}), s.canvas.Of(DrawCall::Rectangle).back().rect);
}

TEST(OscilloscopeTick, BlockThreeOnceAfterComingOnlineAndNothingInCursorMode) {
  Scope s;
  s.p.shared.armedPeriod = 50;
  s.Enter();
  EXPECT_TRUE(OscilloscopeTick(s.p, s.canvas, s.ui));  // the timer goes to 20 ms, once
  EXPECT_EQ(20, s.p.shared.armedPeriod);
  s.controller.answers = false;  // three misses: offline
  for (int i = 0; i < 3; ++i) s.Tick();
  ASSERT_TRUE(s.p.link.offline);
  s.controller.answers = true;
  s.Tick();
  EXPECT_EQ((std::vector<std::string>{kIdentify, kBlock2, kBlock3}), s.Sent());
  s.port.ClearLog();
  EXPECT_FALSE(OscilloscopeTick(s.p, s.canvas, s.ui));
  EXPECT_EQ((std::vector<std::string>{kIdentify, kBlock2}), s.Sent());
  EXPECT_EQ(kOscilloscopePollPeriod, s.p.link.pollPeriod);

  s.controller.identity = 0x20;  // version 2: no blocks, and Block 3 comes again at version 3
  s.Tick();
  EXPECT_EQ((std::vector<std::string>{kIdentify}), s.Sent());
  s.controller.identity = 0x45;
  s.Tick();
  EXPECT_EQ((std::vector<std::string>{kIdentify, kBlock2, kBlock3}), s.Sent());

  s.ui[kCursorCheckBox].checked = true;
  CursorBoxClicked(s.p, s.canvas, s.ui);
  for (int i = 0; i < 5; ++i) {
    s.Tick();
    EXPECT_TRUE(s.port.calls.empty());
  }
}

TEST(OscilloscopeTick, OfflineTakesNoSampleAndShowsTheClearedImage) {
  Scope s;
  s.Set(bytes::Lambda, 51);
  s.controller.answers = false;
  s.Enter();
  for (int i = 0; i < 3; ++i) s.Tick();
  ASSERT_TRUE(s.p.link.offline);
  EXPECT_EQ(kFirstSamplePos, s.p.oscilloscope.samplePos);
  EXPECT_TRUE(s.canvas.Of(DrawCall::Line).empty());
  EXPECT_EQ("0.00", s.TextAt({630, 70}));
  EXPECT_EQ("0000", s.TextAt({630, 290}));
  EXPECT_EQ("t14", s.TextAt({655, 475}));  // petrol, green
}

// The calls of one sample step, at p = 300, for a screen size.
struct StepCalls {
  std::vector<Rect> white;
  std::vector<int> sweepX;
  std::vector<DrawCall> segments;
};
StepCalls StepAt300(int size) {
  Scope s(size);
  s.p.oscilloscope.samplePos = 299;
  s.p.oscilloscope.previousY = {100, 200, 210, 300, 400};
  s.Set(bytes::Lambda, 51);
  s.p.link.offline = false;
  OscilloscopeSampleStep(s.p, s.canvas);
  StepCalls out;
  for (const auto& c : s.canvas.calls) {
    if (c.kind == DrawCall::Rectangle) {
      EXPECT_EQ((Pen{colour::White, 1}), c.pen);
      EXPECT_EQ((Brush{colour::White}), c.brush);
      out.white.push_back(c.rect);
    } else if (c.kind == DrawCall::Line && c.pen == Pen{colour::Red, 1}) {
      EXPECT_EQ(c.points[0].x, c.points[1].x);
      out.sweepX.push_back(c.points[0].x);
    } else if (c.kind == DrawCall::Line) {
      out.segments.push_back(c);
    }
  }
  EXPECT_EQ(300, s.p.oscilloscope.samplePos);
  EXPECT_EQ(51, s.p.oscilloscope.history[100].lambda);
  EXPECT_EQ(54, s.p.oscilloscope.redraw[0][100].y);
  return out;
}

TEST(OscilloscopeSampleStep, StripsSweepLineAndSegmentsAt800x600) {
  const StepCalls c = StepAt300(2);
  EXPECT_EQ((std::vector<Rect>{{199, 43, 204, 137}, {199, 153, 204, 247}, {199, 263, 204, 357},
                               {199, 373, 204, 467}, {300, 43, 302, 137}, {300, 153, 302, 247},
                               {300, 263, 302, 357}, {300, 373, 302, 467}}),
            c.white);
  EXPECT_EQ((std::vector<int>{302, 302, 302, 302}), c.sweepX);
  ASSERT_EQ(5u, c.segments.size());
  const Pen pens[] = {{colour::OliveBrown, 2}, {colour::Green, 2}, {colour::DarkGreen, 1},
                      {colour::Blue, 2}, {colour::Navy, 2}};
  const int from[] = {100, 200, 210, 300, 400}, to[] = {54, 240, 240, 350, 460};
  for (std::size_t t = 0; t < 5; ++t) {
    EXPECT_EQ(pens[t], c.segments[t].pen);
    EXPECT_EQ((std::vector<Point>{{299, from[t]}, {300, to[t]}}), c.segments[t].points);
  }
}

TEST(OscilloscopeSampleStep, OnePixelAdjustmentsAt640x480) {
  const StepCalls c = StepAt300(1);
  // Left edge one pixel right of 198 x 0.8; erase ahead from (p + 1) x 0.8.
  EXPECT_EQ((std::vector<Rect>{{159, 33, 163, 105}, {159, 117, 163, 190}, {159, 202, 163, 274},
                               {159, 287, 163, 359}, {240, 33, 241, 105}, {240, 117, 241, 190},
                               {240, 202, 241, 274}, {240, 287, 241, 359}}),
            c.white);
  EXPECT_EQ(241, c.sweepX[0]);
  EXPECT_EQ((std::vector<Point>{{239, 77}, {240, 41}}), c.segments[0].points);
}

TEST(OscilloscopeSampleStep, FirstSweepStartsFlatAndTheSweepWraps) {
  Scope s;
  s.Set(bytes::Lambda, 51);
  s.Enter();
  s.Tick();  // the first sample of a sweep: at 203, flat
  auto lines = s.canvas.Of(DrawCall::Line);
  EXPECT_EQ((std::vector<Point>{{202, 54}, {203, 54}}), lines[4].points);
  EXPECT_TRUE(s.canvas.Of(DrawCall::Rectangle).size() >= 4);
  EXPECT_NE((Rect{199, 43, 204, 137}), s.canvas.Of(DrawCall::Rectangle)[0].rect);

  s.p.oscilloscope.samplePos = 595;
  s.canvas.Clear();
  OscilloscopeSampleStep(s.p, s.canvas);  // the sample at 596 ends the sweep
  EXPECT_EQ(201, s.p.oscilloscope.samplePos);
  const auto white = s.canvas.Of(DrawCall::Rectangle);
  ASSERT_EQ(16u, white.size());
  EXPECT_EQ((Rect{598, 43, 599, 137}), white[8].rect);
  EXPECT_EQ((Rect{199, 373, 203, 467}), white[15].rect);
  s.Set(bytes::Lambda, 0);
  s.canvas.Clear();
  OscilloscopeSampleStep(s.p, s.canvas);  // then 202, from where 596 left the trace
  EXPECT_EQ(202, s.p.oscilloscope.samplePos);
  EXPECT_EQ((std::vector<Point>{{201, 54}, {202, 130}}), s.canvas.Of(DrawCall::Line)[4].points);
}

TEST(OscilloscopeFrame, RedrawDrawsTheStoredSamplesOnePositionRight) {
  Scope s;
  s.Set(bytes::Lambda, 51);
  s.Enter();
  for (int i = 0; i < 10; ++i) s.Tick();  // positions 203..212
  s.canvas.Clear();
  OscilloscopeFrameRedraw(s.p, s.canvas);
  const auto frames = s.canvas.Of(DrawCall::Rectangle);
  ASSERT_EQ(4u, frames.size());
  EXPECT_EQ((Rect{198, 370, 600, 470}), frames[3].rect);
  const auto traces = s.canvas.Of(DrawCall::Polyline);
  ASSERT_EQ(5u, traces.size());
  const Rgb order[] = {colour::OliveBrown, colour::DarkGreen, colour::Green, colour::Blue,
                       colour::Navy};
  for (std::size_t t = 0; t < 5; ++t) EXPECT_EQ(order[t], traces[t].pen.colour);
  const auto& lambda = traces[0].points;
  ASSERT_EQ(396u, lambda.size());
  EXPECT_EQ((Point{204, 54}), lambda[0]);    // points 0..2 take point 3
  EXPECT_EQ((Point{213, 54}), lambda[12]);   // the sample at 212
  EXPECT_EQ((Point{214, 130}), lambda[13]);  // not yet sampled: the baseline
  EXPECT_EQ((Point{596, 130}), lambda.back());
}

TEST(OscilloscopeCursor, ScrollingClampsToTheBarsRange) {
  struct Case {
    int from;
    int request;
    int thumb, to;
  } cases[] = {
      {395, ScrollLineDown, 0, 395}, {394, ScrollLineDown, 0, 395},
      {390, ScrollPageDown, 0, 395}, {5, ScrollPageUp, 0, 2},
      {2, ScrollLineUp, 0, 2},      {50, ScrollPageUp, 0, 40},
      {50, ScrollThumbTrack, 300, 300}, {50, ScrollThumbPosition, 0, 50},
  };
  for (const Case& c : cases) {
    Scope s;
    s.p.oscilloscope.cursorPos = c.from;
    CursorScrolled(s.p, s.ui, c.request, c.thumb);
    EXPECT_EQ(c.to, s.p.oscilloscope.cursorPos) << c.from;
    EXPECT_EQ(c.to, s.ui[kCursorScrollBar].position) << c.from;
  }
}

TEST(OscilloscopeCursor, LineRepairAndStoredValues) {
  Scope s;
  s.Enter();
  s.p.oscilloscope.history[20] = SampleOf(51, 0x07, 100, 4000);
  s.p.oscilloscope.history[20].throttleSwitch = 0x10;
  s.p.oscilloscope.history[20].actuator = 7;
  s.p.oscilloscope.history[30].speed = 0xFF00;  // high byte 255 shows 0
  s.p.oscilloscope.samplePos = 250;
  s.ui[kCursorCheckBox].checked = true;
  CursorBoxClicked(s.p, s.canvas, s.ui);
  EXPECT_TRUE(s.ui[kCursorScrollBar].visible);

  s.ui[kCursorScrollBar].position = 20;
  s.Tick();  // the first line: the repair at the initial position stays inside the table
  for (const auto& c : s.canvas.Of(DrawCall::Polyline))
    for (const Point& pt : c.points) EXPECT_GE(pt.x, 201);
  EXPECT_EQ("0.99", s.TextAt({630, 70}));
  EXPECT_EQ("007", s.TextAt({630, 180}));
  EXPECT_EQ("4000", s.TextAt({630, 290}));
  EXPECT_EQ("OFF", s.TextAt({630, 400}));  // stored code 7 and switch bit
  EXPECT_EQ(colour::White, s.canvas.Of(DrawCall::Rectangle)[0].brush.colour);
  EXPECT_EQ((Rect{686, 400, 695, 436}), s.canvas.Of(DrawCall::Rectangle)[0].rect);

  s.ui[kCursorScrollBar].position = 30;
  s.Tick();
  const auto lines = s.canvas.Of(DrawCall::Line);
  ASSERT_EQ(12u, lines.size());
  EXPECT_EQ((Pen{colour::Black, 1}), lines[0].pen);
  EXPECT_EQ((std::vector<Point>{{231, 43}, {231, 137}}), lines[0].points);
  EXPECT_EQ((Pen{colour::White, 1}), lines[4].pen);
  EXPECT_EQ(221, lines[4].points[0].x);  // the old line wiped
  EXPECT_EQ((Pen{colour::Red, 1}), lines[8].pen);
  EXPECT_EQ(252, lines[8].points[0].x);  // the sweep stands still
  const auto repairs = s.canvas.Of(DrawCall::Polyline);
  ASSERT_EQ(5u, repairs.size());
  EXPECT_EQ((std::vector<Point>{{220, 130}, {221, 130}, {222, 130}}), repairs[0].points);
  EXPECT_EQ(colour::DarkGreen, repairs[1].pen.colour);
  EXPECT_EQ("0000", s.TextAt({630, 290}));
  EXPECT_EQ(0, s.p.shared.engineSpeed);
}

TEST(OscilloscopeCursor, LeavingCursorModeRedrawsTheFrames) {
  Scope s;
  s.Enter();
  s.p.oscilloscope.cursorMode = true;
  s.ui[kCursorCheckBox].checked = false;
  CursorBoxClicked(s.p, s.canvas, s.ui);
  EXPECT_FALSE(s.p.oscilloscope.cursorMode);
  EXPECT_FALSE(s.ui[kCursorScrollBar].visible);
  EXPECT_EQ(4u, s.canvas.Of(DrawCall::Rectangle).size());
  EXPECT_EQ(5u, s.canvas.Of(DrawCall::Polyline).size());
}

TEST(OscilloscopeSetUp, LabelsRangeSensorNameAndTimeAxis) {
  struct Case {
    std::uint8_t type;
    const char* range;
    const char* sensor;
  } cases[] = {
      {0x00, "0 - 1 V       ", "t84"}, {0x11, "0 - 5 V  '-'  ", "t85"},
      {0x24, "0 - 5 V  '+'  ", "t86"}, {0x46, "5 - 0 V  '+'  ", "t87"},
      {0x57, "0,8 - 1,6 V   ", "t88"}, {0x69, "-", "t89"},
  };
  for (const Case& c : cases) {
    Scope s;
    s.controller.Set(bytes::LambdaType, c.type);  // read by the set-up itself
    s.p.oscilloscope.cursorMode = true;
    OscilloscopeSetUp(s.p, s.canvas, s.ui);
    EXPECT_EQ((std::vector<std::string>{kBlock3}), s.Sent());
    EXPECT_EQ(c.range, s.TextAt({50, 90})) << int(c.type);
    EXPECT_EQ(c.sensor, s.TextAt({50, 420})) << int(c.type);
    EXPECT_EQ("t142", s.ui[kCursorCheckBox].text);
    EXPECT_TRUE(s.ui[kCursorCheckBox].checked);
    EXPECT_TRUE(s.ui[kCursorScrollBar].visible);
    EXPECT_EQ(395, s.ui[kCursorScrollBar].maximum);
  }
  Scope s(3);
  OscilloscopeSetUp(s.p, s.canvas, s.ui);
  EXPECT_EQ("00", s.TextAt({250, 646}));   // 196 x 1.28, 490 x 1.32
  EXPECT_EQ("16", s.TextAt({721, 646}));   // 564 x 1.28
  EXPECT_EQ(".", s.TextAt({259, 620}));    // 203 x 1.28, 470 x 1.32
  EXPECT_EQ("t151", s.TextAt({896, 92}));  // the value font
  for (const auto& c : s.canvas.Of(DrawCall::Text)) EXPECT_EQ(Canvas::kDefaultButtonFace, c.background);
}

}  // namespace
}  // namespace kv
