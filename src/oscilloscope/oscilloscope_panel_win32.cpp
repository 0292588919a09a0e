// The oscilloscope panel: for now its template, filling the main window, without traces.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

INT_PTR CALLBACK OscilloscopeProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateOscilloscopePanel(HWND parent) {
  const ShellState& shell = TheProgram().shell;
  HWND panel = CreateDialogParamW(
      TheApp().instance, MAKEINTRESOURCEW(PanelTemplate(OscilloscopePanel, shell.screenSize)),
      parent, OscilloscopeProc, 0);
  if (panel)
    SetWindowPos(panel, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return panel;
}

}  // namespace kv
