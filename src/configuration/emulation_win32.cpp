// The emulation construction dialog's procedure: messages become calls of the dialog logic; the
// wave is drawn straight onto the dialog at the tick after a paint or a change of H or L.
#include "configuration/emulation_win32.h"

#include "configuration/emulation.h"
#include "configuration_ids.h"
#include "files/text_win32.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

// The picture lies in fixed client pixels whatever the screen size, so its labels use the
// dialog's own font rather than the panels' label font of the screen size; lines and shapes go
// to the shared canvas. A label's background fills only its own cell, cut to the clip.
class ChartCanvas final : public Canvas {
 public:
  ChartCanvas(HWND dialog, GdiCanvas& inner)
      : inner_(inner), font_(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0))) {}

  void Line(const Pen& pen, Point from, Point to) override { inner_.Line(pen, from, to); }
  void Polyline(const Pen& pen, const std::vector<Point>& points) override {
    inner_.Polyline(pen, points);
  }
  void Rectangle(const Pen& pen, const Brush& brush, Rect r) override {
    inner_.Rectangle(pen, brush, r);
  }
  void RoundRect(const Pen& pen, const Brush& brush, Rect r, int w, int h) override {
    inner_.RoundRect(pen, brush, r, w, h);
  }
  void Ellipse(const Pen& pen, const Brush& brush, Rect r) override { inner_.Ellipse(pen, brush, r); }
  void Bitmap(int resourceId, Point at, Rect source) override { inner_.Bitmap(resourceId, at, source); }

  void Text(FontKind, Rgb text, Rgb background, Point at, const Rect& clip,
            std::string_view utf8) override {
    HDC dc = inner_.dc();
    HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, RGB(text.r, text.g, text.b));
    SetBkColor(dc, RGB(background.r, background.g, background.b));
    SetBkMode(dc, OPAQUE);
    const RECT r{clip.left, clip.top, clip.right, clip.bottom};
    const std::wstring wide = Widen(utf8);
    ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &r, wide.c_str(), static_cast<UINT>(wide.size()),
                nullptr);
    SelectObject(dc, old);
  }

 private:
  GdiCanvas& inner_;
  HFONT font_;
};

INT_PTR CALLBACK EmulationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      Program& program = TheProgram();
      CentreOnDesktop(dialog);
      DialogControls controls(dialog);
      FillEmulationLists(controls);
      ApplyEmulationTexts(program.texts, controls);
      SetWindowTextW(dialog, Widen(EmulationCaption(program.texts)).c_str());
      return TRUE;
    }
    case WM_PAINT: {
      // The default painting clears the picture; the next tick draws it again.
      Program& program = TheProgram();
      ArmPollTimer(dialog, kDialogTimer);
      EmulationPainted(program);
      return FALSE;
    }
    case WM_TIMER:
      OnPollTimer(dialog, wParam, kDialogTimer, [dialog] {
        DialogControls controls(dialog);
        GdiCanvas gdi(dialog);
        ChartCanvas canvas(dialog, gdi);
        return EmulationTick(TheProgram(), controls, canvas);
      });
      return TRUE;
    case WM_COMMAND: {
      DialogControls controls(dialog);
      const int end = EmulationCommand(TheProgram(), controls, LOWORD(wParam), HIWORD(wParam));
      if (end != 0) EndDialog(dialog, end);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void RunEmulationDialog(HWND owner) {
  RunSubDialog<EmulationProc>(owner, IDD_EMULATION, TheProgram().shared.subDialogOpen);
}

}  // namespace kv
