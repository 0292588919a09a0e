// The options panel: for now its template of the screen size, shown empty.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

INT_PTR CALLBACK OptionsProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

HWND CreateOptionsPanel(HWND parent) {
  const int dialog = PanelTemplate(OptionsPanel, TheProgram().shell.screenSize);
  return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(dialog), parent, OptionsProc, 0);
}

}  // namespace kv
