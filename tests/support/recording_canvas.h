// A Canvas that records every drawing call, so tests can say "the lambda marker is filled red at
// (140+p,52)-(180+p,70)" without restating the layout formulas.
#pragma once

#include <string>
#include <vector>

#include "ui/canvas.h"

namespace kv::testing {

struct DrawCall {
  enum Kind { Line, Polyline, Rectangle, RoundRect, Ellipse, Text, Bitmap } kind;
  Pen pen;
  Brush brush;
  Rect rect;                  // rectangle-like shapes, the text clip, the bitmap source
  std::vector<Point> points;  // line ends, polyline points, text or bitmap position
  FontKind font = FontKind::Label;
  Rgb textColour, background;
  std::string text;
  int resourceId = 0;
};

class RecordingCanvas final : public Canvas {
 public:
  std::vector<DrawCall> calls;

  void Line(const Pen& pen, Point from, Point to) override {
    calls.push_back({DrawCall::Line, pen, {}, {}, {from, to}, {}, {}, {}, {}, 0});
  }
  void Polyline(const Pen& pen, const std::vector<Point>& points) override {
    calls.push_back({DrawCall::Polyline, pen, {}, {}, points, {}, {}, {}, {}, 0});
  }
  void Rectangle(const Pen& pen, const Brush& brush, Rect r) override {
    calls.push_back({DrawCall::Rectangle, pen, brush, r, {}, {}, {}, {}, {}, 0});
  }
  void RoundRect(const Pen& pen, const Brush& brush, Rect r, int ew, int eh) override {
    calls.push_back({DrawCall::RoundRect, pen, brush, r, {{ew, eh}}, {}, {}, {}, {}, 0});
  }
  void Ellipse(const Pen& pen, const Brush& brush, Rect r) override {
    calls.push_back({DrawCall::Ellipse, pen, brush, r, {}, {}, {}, {}, {}, 0});
  }
  void Text(FontKind font, Rgb text, Rgb background, Point at, const Rect& clip,
            std::string_view utf8) override {
    calls.push_back(
        {DrawCall::Text, {}, {}, clip, {at}, font, text, background, std::string(utf8), 0});
  }
  void Bitmap(int resourceId, Point at, Rect source) override {
    calls.push_back({DrawCall::Bitmap, {}, {}, source, {at}, {}, {}, {}, {}, resourceId});
  }

  void Clear() { calls.clear(); }
  // Calls of one kind, in order.
  std::vector<DrawCall> Of(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const auto& c : calls)
      if (c.kind == kind) out.push_back(c);
    return out;
  }
  // The texts drawn, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.kind == DrawCall::Text) out.push_back(c.text);
    return out;
  }
};

}  // namespace kv::testing
