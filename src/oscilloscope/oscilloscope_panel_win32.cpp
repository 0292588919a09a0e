// The oscilloscope panel's window: template 159 filling the main window, its 20 ms sampling
// timer, the cursor check box and scroll bar. Everything else is drawn by the panel logic through
// a GDI canvas straight onto the panel.
#include <windows.h>

#include <mmsystem.h>

#include "oscilloscope/oscilloscope.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

// A window timer fires on the system clock's tick (about 15.6 ms unless raised), which would
// stretch 20 ms to 31: while the panel exists the clock runs at 1 ms.
constexpr UINT kTimerResolutionMs = 1;

void OnPaint(HWND panel) {
  RECT update = {};
  const bool exposed = GetUpdateRect(panel, &update, FALSE) != 0;
  PAINTSTRUCT ps;
  BeginPaint(panel, &ps);
  EndPaint(panel, &ps);
  ArmPollTimer(panel, kPanelTimer);
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  OscilloscopePanelPaint(TheProgram(), canvas, controls, exposed);
}

bool Tick(HWND panel) {
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  return OscilloscopeTick(TheProgram(), canvas, controls);
}

INT_PTR CALLBACK OscilloscopeProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      timeBeginPeriod(kTimerResolutionMs);
      return TRUE;
    case WM_PAINT:
      OnPaint(panel);
      return TRUE;
    case WM_TIMER:
      OnPollTimer(panel, wParam, kPanelTimer, [panel] { return Tick(panel); });
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCursorCheckBox && HIWORD(wParam) == BN_CLICKED) {
        GdiCanvas canvas(panel);
        DialogControls controls(panel);
        CursorBoxClicked(TheProgram(), canvas, controls);
      }
      return TRUE;
    case WM_HSCROLL:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kCursorScrollBar) {
        DialogControls controls(panel);
        // The thumb position is the signed 16-bit high word.
        CursorScrolled(TheProgram(), controls, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      }
      return TRUE;
    case WM_DESTROY:
      timeEndPeriod(kTimerResolutionMs);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateOscilloscopePanel(HWND parent) {
  Program& program = TheProgram();
  HWND panel = CreatePanelDialog<OscilloscopeProc>(parent, OscilloscopePanel);
  if (!panel) return nullptr;
  SetWindowPos(panel, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  DialogControls controls(panel);
  PlaceOscilloscopeControls(program, controls);
  GdiCanvas canvas(panel);
  EnterOscilloscope(program, canvas, controls);
  // The main window validates the panel when it paints, so the panel's own paint, which starts
  // the timer, may never come: sampling must not wait for it.
  ArmPollTimer(panel, kPanelTimer);
  return panel;
}

void OscilloscopeMainPaint(HWND panel) {
  Program& program = TheProgram();
  GdiCanvas canvas(panel);
  DialogControls controls(panel);
  OscilloscopeSetUp(program, canvas, controls);
  OscilloscopeFrameRedraw(program, canvas);
}

}  // namespace kv
