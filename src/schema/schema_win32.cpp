// The schema panel's window: template 132 and its two scroll bars. The picture is copied onto the
// panel through the GDI canvas, whose bitmaps are loaded once for the run.
#include <windows.h>

#include "resource.h"
#include "schema/schema.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

void CopyView(HWND panel) {
  GdiCanvas canvas(panel);
  CopySchemaView(TheProgram().schema, canvas);
}

void Scroll(HWND panel, bool horizontal, WPARAM wParam) {
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  // The thumb position is the signed 16-bit high word.
  const int thumb = static_cast<short>(HIWORD(wParam));
  ScrollSchema(TheProgram().schema, horizontal, LOWORD(wParam), thumb, controls, canvas);
}

// The panel fills the main window; its paint also restores the view, so that the picture comes
// back when the panel alone was uncovered.
void Paint(HWND panel) {
  PAINTSTRUCT ps;
  BeginPaint(panel, &ps);
  EndPaint(panel, &ps);
  const ShellState& shell = TheProgram().shell;
  RECT r = {};
  GetWindowRect(panel, &r);
  if (r.right - r.left != shell.windowWidth || r.bottom - r.top != shell.windowHeight)
    SetWindowPos(panel, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CopyView(panel);
}

INT_PTR CALLBACK SchemaProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_HSCROLL: Scroll(panel, true, wParam); return TRUE;
    case WM_VSCROLL: Scroll(panel, false, wParam); return TRUE;
    case WM_PAINT: Paint(panel); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

HWND CreateSchemaPanel(HWND parent) {
  Program& p = TheProgram();
  HWND panel = CreatePanelDialog<SchemaProc>(parent, SchemaPanel);
  if (!panel) return nullptr;
  SetWindowPos(panel, nullptr, 0, 0, p.shell.windowWidth, p.shell.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client = {};
  GetClientRect(parent, &client);
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  SetUpSchema(p.schema, p.shell.screenSize, client.right, client.bottom, p.settings.languageCode,
              controls, canvas);
  return panel;
}

void SchemaMainPaint(HWND panel) { CopyView(panel); }

}  // namespace kv
