// The information dialog: for now its template with the language's labels, laid out for the
// screen size; it does not poll yet.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"
#include "ui/text_win32.h"

namespace kv {
namespace {

INT_PTR CALLBACK InformationProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateInformationDialog(HWND parent) {
  const Program& program = TheProgram();
  HWND panel = CreateDialogParamW(
      TheApp().instance,
      MAKEINTRESOURCEW(PanelTemplate(InformationDialog, program.shell.screenSize)), parent,
      InformationProc, 0);
  if (!panel) return nullptr;
  SetWindowPos(panel, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ControlText& t : InformationDialogTexts())
    SetDlgItemTextW(panel, t.control, Widen(program.texts[t.text]).c_str());
  ApplyInformationLayout(panel);
  return panel;
}

}  // namespace kv
