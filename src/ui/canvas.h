// The seam between a panel's drawing and GDI. Every call names its pen and brush; the Win32 side
// maps them onto the program-wide objects created once at start, and tests record the calls.
// Rectangles follow GDI: right and bottom edges are exclusive.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kv {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(Rgb, Rgb) = default;
};

namespace colour {
inline constexpr Rgb Black{0, 0, 0}, White{255, 255, 255}, Red{255, 0, 0}, Green{0, 255, 0},
    DarkGreen{0, 128, 0}, Blue{0, 0, 255}, Navy{0, 0, 128}, Cyan{0, 255, 255},
    Yellow{255, 255, 0}, Grey{128, 128, 128}, LightGrey{192, 192, 192}, PaleGrey{210, 210, 210},
    OliveBrown{128, 120, 0}, Olive{128, 128, 0}, Brown{128, 84, 79};
}

struct Pen {
  Rgb colour;
  int width = 1;
  bool none = false;  // draw no outline
  friend bool operator==(const Pen&, const Pen&) = default;
};
struct Brush {
  Rgb colour;
  bool none = false;  // leave the inside unfilled
  friend bool operator==(const Brush&, const Brush&) = default;
};
inline constexpr Pen kNoPen{{}, 0, true};
inline constexpr Brush kNoBrush{{}, true};

struct Point {
  int x = 0, y = 0;
  friend bool operator==(Point, Point) = default;
};
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(Rect, Rect) = default;
};

// The value font (bold digits) and the label font of the current screen size and language.
enum class FontKind { Value, Label };

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Line(const Pen& pen, Point from, Point to) = 0;
  virtual void Polyline(const Pen& pen, const std::vector<Point>& points) = 0;
  virtual void Rectangle(const Pen& pen, const Brush& brush, Rect r) = 0;
  virtual void RoundRect(const Pen& pen, const Brush& brush, Rect r, int ellipseWidth,
                         int ellipseHeight) = 0;
  virtual void Ellipse(const Pen& pen, const Brush& brush, Rect r) = 0;
  // Opaque text: the background colour fills the text cell; `clip` bounds it. A non-empty clip
  // is filled whole with the background (so " " blanks a field); an empty Rect{} means no clip.
  virtual void Text(FontKind font, Rgb text, Rgb background, Point at, const Rect& clip,
                    std::string_view utf8) = 0;
  // Copies a bitmap resource (or the part of it at `source`) to `at`.
  virtual void Bitmap(int resourceId, Point at, Rect source) = 0;
  // The system's button-face colour: the background of dialogs, and of labels drawn on them.
  virtual Rgb ButtonFace() const { return kDefaultButtonFace; }

  static constexpr Rgb kDefaultButtonFace{240, 240, 240};
};

}  // namespace kv
