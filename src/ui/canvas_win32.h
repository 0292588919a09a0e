// The Win32 side of the canvas: the program-wide pens, brushes and fonts, made once and never
// freed, and a canvas that draws with them straight onto a window (no off-screen buffer).
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/canvas.h"

namespace kv {

// Makes the pens and brushes in the order of their tables and the value and label fonts of the
// five screen sizes in both character sets. Only the first call does anything.
void CreateDrawingResources();

// Makes the value and label font of a screen size current for every canvas: the Cyrillic pair for
// the language "rus", the Central European pair otherwise.
void SelectPanelFonts(int screenSize, std::string_view languageCode);
HFONT CurrentFont(FontKind kind);

// A bitmap resource of the exe, loaded at its first use and kept for the whole run (null when
// it is missing). Every window that shows a picture takes it from here, so re-creating a panel
// never loads it again.
HBITMAP RunBitmap(int resourceId);
// Shows a run bitmap in a picture control (a static of style SS_BITMAP whose template names no
// image). A static that loads its image from its template keeps its own copy, which Wine never
// frees and Windows frees itself, so templates leave the image to this call.
void AttachBitmap(HWND dialog, int control, int resourceId);

// Draws on a window's client area through GetDC (or on a DC the caller owns, e.g. BeginPaint's).
// Each call selects its pen, brush and font only when they differ from the last ones.
// Rectangles whose right or bottom edge is not past the left or top draw nothing: GDI would
// normalise them and paint outside the shape the caller meant.
// Text with an empty clip fills only its own cell with the background; with a clip, the whole
// clip rectangle is filled and the text cut to it (so " " blanks a line).
class GdiCanvas final : public Canvas {
 public:
  explicit GdiCanvas(HWND window);
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void Line(const Pen& pen, Point from, Point to) override;
  void Polyline(const Pen& pen, const std::vector<Point>& points) override;
  void Rectangle(const Pen& pen, const Brush& brush, Rect r) override;
  void RoundRect(const Pen& pen, const Brush& brush, Rect r, int ellipseWidth,
                 int ellipseHeight) override;
  void Ellipse(const Pen& pen, const Brush& brush, Rect r) override;
  void Text(FontKind font, Rgb text, Rgb background, Point at, const Rect& clip,
            std::string_view utf8) override;
  void Bitmap(int resourceId, Point at, Rect source) override;
  Rgb ButtonFace() const override;

  HDC dc() const { return dc_; }

 private:
  void Use(const Pen& pen);
  void Use(const Brush& brush);
  void Use(FontKind font);

  HWND window_ = nullptr;  // set when the DC came from GetDC and must be released
  HDC dc_ = nullptr;
  HGDIOBJ originalPen_ = nullptr, originalBrush_ = nullptr, originalFont_ = nullptr;
  HGDIOBJ pen_ = nullptr, brush_ = nullptr, font_ = nullptr;
};

}  // namespace kv
