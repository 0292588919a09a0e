// The readings panel's window: template 101, its poll timer and its learn button. Everything it
// shows is drawn by the panel logic through a GDI canvas straight onto the panel.
#include <windows.h>

#include "readings/readings.h"
#include "resource.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

void DrawAll(HWND panel) {
  Program& p = TheProgram();
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  DrawReadingsFrame(p, canvas, controls);
  RefreshReadings(p, canvas, controls);
}

void PlacePanel(HWND panel) {
  const Program& p = TheProgram();
  RECT r = {};
  GetWindowRect(panel, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(panel), reinterpret_cast<POINT*>(&r), 2);
  if (r.left != -5 || r.top != -10 || r.right - r.left != p.shell.windowWidth ||
      r.bottom - r.top != p.shell.windowHeight)
    MoveWindow(panel, -5, -10, p.shell.windowWidth, p.shell.windowHeight, TRUE);
}

INT_PTR CALLBACK ReadingsProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_ERASEBKGND:
      // Every pixel of the panel is drawn by the frame; erasing first would only flash.
      SetWindowLongPtrW(panel, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_PAINT: {
      RECT update = {};
      const bool exposed = GetUpdateRect(panel, &update, FALSE) != 0;
      PAINTSTRUCT ps;
      BeginPaint(panel, &ps);
      EndPaint(panel, &ps);
      PlacePanel(panel);
      ArmPollTimer(panel, kPanelTimer);
      // Uncovered alone (a menu or window went away): the content is ours to restore.
      if (exposed) DrawAll(panel);
      return TRUE;
    }
    case WM_TIMER:
      OnPollTimer(panel, wParam, kPanelTimer, [panel] {
        GdiCanvas canvas(panel);
        DialogControls controls(panel);
        return ReadingsTick(TheProgram(), canvas, controls);
      });
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kLearnButton && HIWORD(wParam) == BN_CLICKED) {
        GdiCanvas canvas(panel);
        DialogControls controls(panel);
        LearnPressed(TheProgram(), canvas, controls);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateReadingsPanel(HWND parent) {
  CreateDrawingResources();
  HWND panel = CreatePanelDialog<ReadingsProc>(parent, ReadingsPanel);
  if (!panel) return nullptr;
  AttachBitmap(panel, IDC_READINGS_LOGO, IDB_READINGS_LOGO);
  Program& program = TheProgram();
  MoveWindow(panel, -5, -10, program.shell.windowWidth, program.shell.windowHeight, FALSE);
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  PlaceLearnButton(program, controls);
  DrawReadingsFrame(program, canvas, controls);
  // The panel's own paint restarts the timer, but a main window that validates the panel while
  // painting it means that paint may never come: polling must not wait for it.
  ArmPollTimer(panel, kPanelTimer);
  return panel;
}

void ReadingsMainPaint(HWND panel) {
  DialogControls controls(panel);
  PlaceLearnButton(TheProgram(), controls);
  DrawAll(panel);
  HighlightPanelItem();
  // Makes the learn button repaint above the drawing.
  if (HWND button = GetDlgItem(panel, kLearnButton)) {
    const bool focused = GetFocus() == button;  // disabling takes the focus away
    EnableWindow(button, FALSE);
    EnableWindow(button, TRUE);
    if (focused) SetFocus(button);
  }
}

}  // namespace kv
