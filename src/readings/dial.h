// The engine-speed dial of the readings panel: its point tables, built once, and its drawing.
#pragma once

#include <array>

#include "ui/canvas.h"

namespace kv {

struct Program;
class Controls;

inline constexpr int kArcPoints = 161;  // index k at (k - 80) x 1.5 degrees from straight up
inline constexpr int kRpmPerIndex = 50;

// Points around the table origin (130, 130), y growing downward.
struct ArcTables {
  std::array<Point, kArcPoints> needleTip{};   // radius 115
  std::array<Point, kArcPoints> tickOuter{};   // radius 124
  std::array<Point, 9> majorTickInner{};       // radius 110, every 20th index (1000 rpm)
  std::array<Point, 41> minorTickInner{};      // radius 115, every 4th index (200 rpm)
  std::array<Point, kArcPoints> needleBase{};  // radius 20
};

// The 161 points of one arc of radius `radius`: one coordinate from the sine or cosine, the other
// from the circle equation on that rounded coordinate, so every point is within half a pixel.
std::array<Point, kArcPoints> BuildArc(int radius);
ArcTables BuildArcTables();
// The program's tables, built at the first call and kept to the end.
const ArcTables& DialTables();

// Pixel position of a table point in the readings panel: both axes scale by scaleX, which keeps
// the dial round while the rest of the panel stretches by scaleY.
Point DialPixel(double scaleX, Point tablePoint);

// Redraws needle, hub, ticks and face texts from engineSpeed, the dial state's lpgOffSpeed and
// Options bit 6 (LPG-off speed in use).
void DrawSpeedDial(Program& program, Canvas& canvas, Controls& controls);

}  // namespace kv
