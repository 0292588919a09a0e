// The schema panel: for now its template, filling the main window, without the picture.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

INT_PTR CALLBACK SchemaProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

HWND CreateSchemaPanel(HWND parent) {
  const ShellState& shell = TheProgram().shell;
  HWND panel = CreateDialogParamW(TheApp().instance,
                                  MAKEINTRESOURCEW(PanelTemplate(SchemaPanel, shell.screenSize)),
                                  parent, SchemaProc, 0);
  if (panel)
    SetWindowPos(panel, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return panel;
}

}  // namespace kv
