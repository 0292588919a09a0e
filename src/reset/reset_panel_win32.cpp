// The reset panel: for now its template with the language's texts, filling the main window.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"
#include "ui/text_win32.h"

namespace kv {
namespace {

INT_PTR CALLBACK ResetProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

HWND CreateResetPanel(HWND parent) {
  const Program& program = TheProgram();
  HWND panel = CreateDialogParamW(
      TheApp().instance, MAKEINTRESOURCEW(PanelTemplate(ResetPanel, program.shell.screenSize)),
      parent, ResetProc, 0);
  if (!panel) return nullptr;
  SetWindowPos(panel, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ControlText& t : ResetPanelTexts())
    SetDlgItemTextW(panel, t.control, Widen(program.texts[t.text]).c_str());
  return panel;
}

}  // namespace kv
