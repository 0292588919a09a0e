// The 800 x 600 design frame the drawn panels and the information dialog are laid out in: a
// pixel is the design value times the screen size's scale factor (scaleX for x and widths,
// scaleY for y and heights), truncated toward zero.
#pragma once

#include "ui/canvas.h"

namespace kv {

constexpr int Scaled(int value, double scale) { return static_cast<int>(value * scale); }

struct DesignFrame {
  double sx, sy;
  int X(int v) const { return Scaled(v, sx); }
  int Y(int v) const { return Scaled(v, sy); }
  Point P(int x, int y) const { return {X(x), Y(y)}; }
  Point P(Point design) const { return P(design.x, design.y); }
  Rect R(int l, int t, int r, int b) const { return {X(l), Y(t), X(r), Y(b)}; }
};

}  // namespace kv
