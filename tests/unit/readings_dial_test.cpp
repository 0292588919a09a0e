#include <gtest/gtest.h>

#include <cmath>

#include "fake_controls.h"
#include "readings/dial.h"
#include "recording_canvas.h"
#include "shell/program.h"

namespace kv {
namespace {

using testing::DrawCall;
using testing::FakeControls;
using testing::RecordingCanvas;

TEST(DialTables, TellingRows) {
  const ArcTables t = BuildArcTables();
  const auto at = [](const auto& table, int k) { return table[static_cast<std::size_t>(k)]; };
  EXPECT_EQ((Point{30, 187}), at(t.needleTip, 0));
  EXPECT_EQ((Point{15, 130}), at(t.needleTip, 20));
  EXPECT_EQ((Point{130, 15}), at(t.needleTip, 80));
  EXPECT_EQ((Point{245, 130}), at(t.needleTip, 140));
  EXPECT_EQ((Point{230, 187}), at(t.needleTip, 160));
  EXPECT_EQ((Point{23, 192}), at(t.tickOuter, 0));
  EXPECT_EQ((Point{130, 6}), at(t.tickOuter, 80));
  EXPECT_EQ((Point{35, 185}), at(t.majorTickInner, 0));
  EXPECT_EQ((Point{130, 20}), at(t.majorTickInner, 4));  // index 80
  EXPECT_EQ((Point{113, 140}), at(t.needleBase, 0));
  EXPECT_EQ((Point{110, 130}), at(t.needleBase, 20));
  EXPECT_EQ((Point{130, 110}), at(t.needleBase, 80));
  EXPECT_EQ((Point{147, 140}), at(t.needleBase, 160));
  // The minor inner ticks are every fourth point of the radius-115 arc.
  EXPECT_EQ(at(t.needleTip, 0), at(t.minorTickInner, 0));
  EXPECT_EQ(at(t.needleTip, 80), at(t.minorTickInner, 20));
  EXPECT_EQ(at(t.needleTip, 160), at(t.minorTickInner, 40));
}

template <std::size_t N>
void ExpectWithinHalfPixel(const std::array<Point, N>& table, int radius, const char* name) {
  for (std::size_t k = 0; k < N; ++k) {
    const double dx = table[k].x - 130, dy = table[k].y - 130;
    EXPECT_LE(std::fabs(std::sqrt(dx * dx + dy * dy) - radius), 0.5)
        << name << " point " << k << " (" << table[k].x << "," << table[k].y << ")";
  }
}

TEST(DialTables, EveryPointWithinHalfAPixelOfItsCircleAndInOrder) {
  const ArcTables t = BuildArcTables();
  ExpectWithinHalfPixel(t.needleTip, 115, "needle tip");
  ExpectWithinHalfPixel(t.tickOuter, 124, "tick outer");
  ExpectWithinHalfPixel(t.majorTickInner, 110, "major inner");
  ExpectWithinHalfPixel(t.minorTickInner, 115, "minor inner");
  ExpectWithinHalfPixel(t.needleBase, 20, "needle base");
  // The sweep runs clockwise from lower left to lower right: the angle never goes back.
  double last = -1e9;
  for (const Point& p : t.tickOuter) {
    const double a = std::atan2(p.x - 130.0, 130.0 - p.y);  // from straight up, clockwise
    EXPECT_GE(a, last - 1e-9);
    last = a;
  }
}

struct Dial {
  Program p;
  RecordingCanvas canvas;
  FakeControls ui;

  explicit Dial(double scaleX = 1.0) { p.shell.scaleX = scaleX; }
  void Draw(long speed) {
    p.shared.engineSpeed = speed;
    canvas.Clear();
    DrawSpeedDial(p, canvas, ui);
  }
  std::vector<DrawCall> LinesOfWidth(int width) const {
    std::vector<DrawCall> out;
    for (const auto& c : canvas.Of(DrawCall::Line))
      if (c.pen.width == width) out.push_back(c);
    return out;
  }
  // The tick line that starts at an outer point; fails the test when there is none.
  DrawCall TickFrom(Point outer) const {
    for (const auto& c : canvas.Of(DrawCall::Line))
      if (c.points[0] == outer && c.pen.colour != colour::Black && c.pen.colour != colour::White)
        return c;
    ADD_FAILURE() << "no tick from " << outer.x << "," << outer.y;
    return {};
  }
};

TEST(SpeedDial, NeedleFollowsSpeedAndErasesWhereItWas) {
  Dial d;
  d.Draw(0);
  const auto needles = d.canvas.Of(DrawCall::Line);
  // At 0 rpm the needle points 30 degrees below the left horizontal, drawn twice (under and
  // above the ticks) with the 4-pixel black pen.
  EXPECT_EQ((Pen{colour::Black, 4}), needles[1].pen);
  EXPECT_EQ((std::vector<Point>{{608, 180}, {525, 227}}), needles[1].points);
  EXPECT_EQ(needles[1].points, needles.back().points);
  EXPECT_EQ((Rect{605, 150, 645, 190}), d.canvas.Of(DrawCall::Ellipse)[0].rect);

  d.Draw(4000);  // straight up; the old needle is overdrawn in white first
  const auto lines = d.canvas.Of(DrawCall::Line);
  EXPECT_EQ((Pen{colour::White, 4}), lines[0].pen);
  EXPECT_EQ((std::vector<Point>{{608, 180}, {525, 227}}), lines[0].points);
  EXPECT_EQ((std::vector<Point>{{625, 150}, {625, 55}}), lines.back().points);
  EXPECT_EQ(80, d.p.readings.dial.needleIndex);

  d.Draw(12000);  // beyond full scale
  EXPECT_EQ((std::vector<Point>{{642, 180}, {725, 227}}), d.canvas.Of(DrawCall::Line).back().points);
  EXPECT_EQ(160, d.p.readings.dial.needleIndex);

  // One redraw: 3 needle lines, 50 ticks, 2 hubs and the 10 face texts.
  EXPECT_EQ(53u, d.canvas.Of(DrawCall::Line).size());
  EXPECT_EQ(2u, d.canvas.Of(DrawCall::Ellipse).size());
  EXPECT_EQ(10u, d.canvas.Of(DrawCall::Text).size());
}

TEST(SpeedDial, StaysRoundAtEveryScale) {
  Dial d(1.6);  // 1280x1024: scaleY would be 1.81, but the dial uses scaleX on both axes
  d.Draw(4000);
  EXPECT_EQ((Rect{968, 240, 1032, 304}), d.canvas.Of(DrawCall::Ellipse)[0].rect);
  EXPECT_EQ((std::vector<Point>{{1000, 240}, {1000, 88}}),
            d.canvas.Of(DrawCall::Line).back().points);
  bool caption = false;
  for (const auto& c : d.canvas.Of(DrawCall::Text))
    if (c.text == "RPM x 1000") {
      caption = true;
      EXPECT_EQ((Point{920, 184}), c.points[0]);
      EXPECT_EQ(FontKind::Label, c.font);
      EXPECT_EQ(colour::White, c.background);
    }
  EXPECT_TRUE(caption);
}

TEST(SpeedDial, TicksAboveTheLpgOffSpeedAreRedWhenItIsInUse) {
  Dial d;
  d.p.link.image.blocks[2][1] = 0x40;  // Options bit 6: LPG-off speed in use
  d.p.readings.dial.lpgOffSpeed = 4500;
  d.Draw(0);
  int redMajor = 0, redMinor = 0;
  for (const auto& c : d.LinesOfWidth(4)) redMajor += c.pen.colour == colour::Red;
  for (const auto& c : d.LinesOfWidth(2)) redMinor += c.pen.colour == colour::Red;
  EXPECT_EQ(4, redMajor);   // 5000 to 8000 rpm
  EXPECT_EQ(18, redMinor);  // 4600 to 8000 rpm
  EXPECT_EQ((Pen{colour::PaleGrey, 4}), d.TickFrom({625, 46}).pen);  // 4000 rpm, straight up
  const auto& outer = DialTables().tickOuter;
  const auto pixel = [&](int k) { return DialPixel(1.0, outer[static_cast<std::size_t>(k)]); };
  EXPECT_EQ((Pen{colour::Red, 4}), d.TickFrom(pixel(100)).pen);       // 5000
  EXPECT_EQ((Pen{colour::PaleGrey, 2}), d.TickFrom(pixel(88)).pen);   // 4400
  EXPECT_EQ((Pen{colour::Red, 2}), d.TickFrom(pixel(92)).pen);        // 4600

  d.p.link.image.blocks[2][1] = 0;  // not in use: all pale grey whatever the speed
  d.Draw(0);
  for (const auto& c : d.LinesOfWidth(2)) EXPECT_EQ(colour::PaleGrey, c.pen.colour);

  d.p.link.image.blocks[2][1] = 0x40;
  d.p.readings.dial.lpgOffSpeed = 8000;
  d.Draw(0);
  for (const auto& c : d.LinesOfWidth(2)) EXPECT_EQ(colour::PaleGrey, c.pen.colour);

  d.p.readings.dial.lpgOffSpeed = 900;  // below 1000: every major tick from 1000 rpm up
  d.Draw(0);
  EXPECT_EQ((Pen{colour::PaleGrey, 4}), d.TickFrom(pixel(0)).pen);
  EXPECT_EQ((Pen{colour::Red, 4}), d.TickFrom(pixel(20)).pen);
}

}  // namespace
}  // namespace kv
