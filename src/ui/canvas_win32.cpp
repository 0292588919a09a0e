#include "ui/canvas_win32.h"

#include <cwchar>
#include <map>
#include <utility>
#include <vector>

#include "files/text_win32.h"
#include "ui/drawing_resources.h"

namespace kv {
namespace {

COLORREF Ref(Rgb c) { return RGB(c.r, c.g, c.b); }

// Handles made for the tables at start, plus any other solid pen or brush a panel asks for,
// made at its first use and kept like the others.
std::vector<std::pair<Pen, HPEN>>& Pens() {
  static std::vector<std::pair<Pen, HPEN>> pens;
  return pens;
}
std::vector<std::pair<Brush, HBRUSH>>& Brushes() {
  static std::vector<std::pair<Brush, HBRUSH>> brushes;
  return brushes;
}

HPEN MakePen(const Pen& pen) {
  HPEN h = CreatePen(PS_SOLID, pen.width, Ref(pen.colour));
  Pens().emplace_back(pen, h);
  return h;
}
HBRUSH MakeBrush(const Brush& brush) {
  HBRUSH h = CreateSolidBrush(Ref(brush.colour));
  Brushes().emplace_back(brush, h);
  return h;
}

HPEN PenFor(const Pen& pen) {
  if (pen.none) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  for (const auto& [entry, handle] : Pens())
    if (entry == pen) return handle;
  return MakePen(pen);
}
HBRUSH BrushFor(const Brush& brush) {
  if (brush.none) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  for (const auto& [entry, handle] : Brushes())
    if (entry == brush) return handle;
  return MakeBrush(brush);
}

// fonts[charset][size - 1][kind]
HFONT g_fonts[2][5][2] = {};
HFONT g_current[2] = {};
bool g_created = false;

HFONT MakeFont(const FontMetrics& metrics, int charset) {
  LOGFONTW f = {};
  f.lfHeight = metrics.height;
  f.lfWidth = metrics.width;
  f.lfWeight = metrics.weight;
  f.lfCharSet = static_cast<BYTE>(charset);
  f.lfOutPrecision = OUT_DEFAULT_PRECIS;
  f.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  f.lfQuality = DEFAULT_QUALITY;
  f.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
  // Bounded copy: the face field of the description has room for 6 characters here.
  std::wcsncpy(f.lfFaceName, L"Arial", 5);
  f.lfFaceName[5] = L'\0';
  return CreateFontIndirectW(&f);
}

int KindIndex(FontKind kind) { return kind == FontKind::Value ? 0 : 1; }

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

std::map<int, HBITMAP>& Bitmaps() {
  static std::map<int, HBITMAP> bitmaps;
  return bitmaps;
}

}  // namespace

void CreateDrawingResources() {
  if (g_created) return;
  g_created = true;
  for (const Pen& pen : kPens) MakePen(pen);
  for (const Brush& brush : kBrushes) MakeBrush(brush);
  const int charsets[2] = {kCharsetCentralEuropean, kCharsetCyrillic};
  for (int c = 0; c < 2; ++c)
    for (int size = 1; size <= 5; ++size) {
      g_fonts[c][size - 1][0] = MakeFont(FontFor(size, FontKind::Value), charsets[c]);
      g_fonts[c][size - 1][1] = MakeFont(FontFor(size, FontKind::Label), charsets[c]);
    }
  SelectPanelFonts(2, "pol");
}

void SelectPanelFonts(int screenSize, std::string_view languageCode) {
  CreateDrawingResources();
  const int c = CharsetForLanguage(languageCode) == kCharsetCyrillic ? 1 : 0;
  const int s = screenSize < 1 ? 0 : screenSize > 5 ? 4 : screenSize - 1;
  g_current[0] = g_fonts[c][s][0];
  g_current[1] = g_fonts[c][s][1];
}

HFONT CurrentFont(FontKind kind) {
  CreateDrawingResources();
  return g_current[KindIndex(kind)];
}

GdiCanvas::GdiCanvas(HWND window) : window_(window), dc_(GetDC(window)) {
  CreateDrawingResources();
}

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) { CreateDrawingResources(); }

GdiCanvas::~GdiCanvas() {
  if (!dc_) return;
  if (originalPen_) SelectObject(dc_, originalPen_);
  if (originalBrush_) SelectObject(dc_, originalBrush_);
  if (originalFont_) SelectObject(dc_, originalFont_);
  if (window_) ReleaseDC(window_, dc_);
}

void GdiCanvas::Use(const Pen& pen) {
  HGDIOBJ h = PenFor(pen);
  if (h == pen_) return;
  HGDIOBJ old = SelectObject(dc_, h);
  if (!originalPen_) originalPen_ = old;
  pen_ = h;
}

void GdiCanvas::Use(const Brush& brush) {
  HGDIOBJ h = BrushFor(brush);
  if (h == brush_) return;
  HGDIOBJ old = SelectObject(dc_, h);
  if (!originalBrush_) originalBrush_ = old;
  brush_ = h;
}

void GdiCanvas::Use(FontKind font) {
  HGDIOBJ h = CurrentFont(font);
  if (h == font_) return;
  HGDIOBJ old = SelectObject(dc_, h);
  if (!originalFont_) originalFont_ = old;
  font_ = h;
}

void GdiCanvas::Line(const Pen& pen, Point from, Point to) {
  Use(pen);
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void GdiCanvas::Polyline(const Pen& pen, const std::vector<Point>& points) {
  if (points.size() < 2) return;
  std::vector<POINT> p(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) p[i] = {points[i].x, points[i].y};
  Use(pen);
  ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
}

void GdiCanvas::Rectangle(const Pen& pen, const Brush& brush, Rect r) {
  if (Empty(r)) return;
  Use(pen);
  Use(brush);
  ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::RoundRect(const Pen& pen, const Brush& brush, Rect r, int ew, int eh) {
  if (Empty(r)) return;
  Use(pen);
  Use(brush);
  ::RoundRect(dc_, r.left, r.top, r.right, r.bottom, ew, eh);
}

void GdiCanvas::Ellipse(const Pen& pen, const Brush& brush, Rect r) {
  if (Empty(r)) return;
  Use(pen);
  Use(brush);
  ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::Text(FontKind font, Rgb text, Rgb background, Point at, const Rect& clip,
                     std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  Use(font);
  SetTextColor(dc_, Ref(text));
  SetBkColor(dc_, Ref(background));
  SetBkMode(dc_, OPAQUE);
  const UINT count = static_cast<UINT>(wide.size());
  if (Empty(clip)) {
    ExtTextOutW(dc_, at.x, at.y, 0, nullptr, wide.c_str(), count, nullptr);
  } else {
    const RECT r{clip.left, clip.top, clip.right, clip.bottom};
    ExtTextOutW(dc_, at.x, at.y, ETO_OPAQUE | ETO_CLIPPED, &r, wide.c_str(), count, nullptr);
  }
}

HBITMAP RunBitmap(int resourceId) {
  HBITMAP& bitmap = Bitmaps()[resourceId];
  if (!bitmap)
    bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                             MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0,
                                             LR_DEFAULTCOLOR));
  return bitmap;
}

void AttachBitmap(HWND dialog, int control, int resourceId) {
  if (HBITMAP bitmap = RunBitmap(resourceId))
    SendDlgItemMessageW(dialog, control, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(bitmap));
}

void GdiCanvas::Bitmap(int resourceId, Point at, Rect source) {
  HBITMAP bitmap = RunBitmap(resourceId);
  if (!bitmap) return;
  if (Empty(source)) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    source = {0, 0, info.bmWidth, info.bmHeight};
  }
  HDC memory = CreateCompatibleDC(dc_);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc_, at.x, at.y, source.right - source.left, source.bottom - source.top, memory,
         source.left, source.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

Rgb GdiCanvas::ButtonFace() const {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace kv
