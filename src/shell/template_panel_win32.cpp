// Panels that are shown from their templates alone until their own behaviour is built.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/text_win32.h"
#include "ui/guard_win32.h"

namespace kv {
namespace {

INT_PTR CALLBACK TemplateOnlyProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateTemplateOnlyPanel(HWND parent, int panel, bool fillWindow,
                             std::span<const ControlText> texts) {
  const Program& program = TheProgram();
  HWND window = CreateDialogParamW(
      TheApp().instance, MAKEINTRESOURCEW(PanelTemplate(panel, program.shell.screenSize)), parent,
      GuardedDialogProc<TemplateOnlyProc>, 0);
  if (!window) return nullptr;
  if (fillWindow)
    SetWindowPos(window, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ControlText& t : texts)
    SetDlgItemTextW(window, t.control, Widen(program.texts[t.text]).c_str());
  return window;
}

}  // namespace kv
