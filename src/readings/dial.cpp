#include "readings/dial.h"

#include <algorithm>
#include <cmath>

#include "link/parameters.h"
#include "link/value_texts.h"
#include "readings_ids.h"
#include "shell/program.h"
#include "ui/controls.h"
#include "ui/design_frame.h"
#include "ui/drawing_resources.h"

namespace kv {
namespace {

// The dial tables were laid out with this value of pi; keeping it keeps every point where the
// dial face was designed.
constexpr double kPi = 3.14159;
constexpr int kOrigin = 130;

double StepsToRadians(int steps) { return (steps * 1.5) * kPi / 180.0; }

// The other coordinate of a point of radius r whose one coordinate is `known`.
int Root(int radius, int known) {
  const int d = kOrigin - known;
  return static_cast<int>(RoundHalfDown(std::sqrt(static_cast<double>(radius * radius - d * d))));
}

int Sine(int radius, int steps) {
  return static_cast<int>(RoundHalfDown(radius * std::sin(StepsToRadians(steps))));
}
int Cosine(int radius, int steps) {
  return static_cast<int>(RoundHalfDown(radius * std::cos(StepsToRadians(steps))));
}

struct FaceText {
  Point at;  // design frame
  const char* text;
};
constexpr FaceText kFaceTexts[] = {
    {{540, 205}, "0"}, {{525, 155}, "1"}, {{540, 110}, "2"}, {{570, 80}, "3"},
    {{617, 65}, "4"},  {{664, 80}, "5"},  {{699, 110}, "6"}, {{714, 155}, "7"},
    {{699, 205}, "8"}, {{575, 115}, "RPM x 1000"},
};

// The dial keeps round: both axes scale by scaleX.
Rect Hub(double scaleX) { return DesignFrame{scaleX, scaleX}.R(605, 150, 645, 190); }

}  // namespace

std::array<Point, kArcPoints> BuildArc(int r) {
  std::array<Point, kArcPoints> arc{};
  for (int k = 0; k < kArcPoints; ++k) {
    Point& p = arc[static_cast<std::size_t>(k)];
    if (k <= 20) {  // below the horizontal, left
      p.y = kOrigin + Sine(r, 20 - k);
      p.x = kOrigin - Root(r, p.y);
    } else if (k <= 49) {  // above the horizontal, left, near it
      p.y = kOrigin - Sine(r, k - 20);
      p.x = kOrigin - Root(r, p.y);
    } else if (k <= 80) {  // near the top, left
      p.x = kOrigin - Cosine(r, k - 20);
      p.y = kOrigin - Root(r, p.x);
    } else if (k <= 110) {  // near the top, right
      p.x = kOrigin + Cosine(r, 140 - k);
      p.y = kOrigin - Root(r, p.x);
    } else if (k <= 140) {  // above the horizontal, right, near it
      p.y = kOrigin - Sine(r, 140 - k);
      p.x = kOrigin + Root(r, p.y);
    } else {  // below the horizontal, right
      p.y = kOrigin + Sine(r, k - 140);
      p.x = kOrigin + Root(r, p.y);
    }
  }
  return arc;
}

ArcTables BuildArcTables() {
  ArcTables t;
  t.needleTip = BuildArc(115);
  t.tickOuter = BuildArc(124);
  const auto major = BuildArc(110);
  for (std::size_t i = 0; i < t.majorTickInner.size(); ++i) t.majorTickInner[i] = major[20 * i];
  const auto minor = BuildArc(115);
  for (std::size_t j = 0; j < t.minorTickInner.size(); ++j) t.minorTickInner[j] = minor[4 * j];
  t.needleBase = BuildArc(20);
  return t;
}

const ArcTables& DialTables() {
  static const ArcTables tables = BuildArcTables();
  return tables;
}

Point DialPixel(double scaleX, Point p) {
  return {static_cast<int>(495 * scaleX + p.x * scaleX),
          static_cast<int>(40 * scaleX + p.y * scaleX)};
}

void DrawSpeedDial(Program& program, Canvas& canvas, Controls& controls) {
  const ArcTables& t = DialTables();
  DialState& dial = program.readings.dial;
  const double sx = program.shell.scaleX;
  const auto at = [sx](Point p) { return DialPixel(sx, p); };
  const Pen blackWide{colour::Black, 4};
  const Brush black{colour::Black};

  // The logo sits in the dial's box; toggling it makes it repaint over anything drawn near it.
  controls.Enable(IDC_READINGS_LOGO, false);
  controls.Enable(IDC_READINGS_LOGO, true);

  const auto old = static_cast<std::size_t>(dial.needleIndex);
  canvas.Line({colour::White, 4}, at(t.needleBase[old]), at(t.needleTip[old]));

  const long speed = program.shared.engineSpeed < 0 ? 0 : program.shared.engineSpeed;
  const auto k = static_cast<std::size_t>(std::min(speed / kRpmPerIndex, 160L));
  const Rect hub = Hub(sx);
  canvas.Line(blackWide, at(t.needleBase[k]), at(t.needleTip[k]));
  canvas.Ellipse(blackWide, black, hub);

  const bool redAbove = Has(program.link.image, Param::Options, bits::options::LpgOff);
  const long off = dial.lpgOffSpeed;
  for (std::size_t i = 0; i < t.majorTickInner.size(); ++i) {
    const bool red = redAbove && off / 1000 < static_cast<long>(i);
    canvas.Line(red ? Pen{colour::Red, 4} : Pen{colour::PaleGrey, 4}, at(t.tickOuter[20 * i]),
                at(t.majorTickInner[i]));
  }
  for (std::size_t j = 0; j < t.minorTickInner.size(); ++j) {
    const bool red = redAbove && off / 200 < static_cast<long>(j);
    canvas.Line(red ? Pen{colour::Red, 2} : Pen{colour::PaleGrey, 2}, at(t.tickOuter[4 * j]),
                at(t.minorTickInner[j]));
  }

  for (const FaceText& f : kFaceTexts) {
    const Point p = DesignFrame{sx, sx}.P(f.at);
    canvas.Text(FontKind::Label, colour::Black, colour::White, p, {}, f.text);
  }

  // Hub and needle again, above the ticks.
  canvas.Ellipse(blackWide, black, hub);
  canvas.Line(blackWide, at(t.needleBase[k]), at(t.needleTip[k]));
  dial.needleIndex = static_cast<int>(k);
}

}  // namespace kv
