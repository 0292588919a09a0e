// The Win32 helpers the panels share.
#include "shell/panels_win32.h"

#include <type_traits>

#include "shell/program.h"

namespace kv {
namespace {

// The registry names the panels' functions with its own spelling of the window handle.
static_assert(std::is_same_v<HWND, PanelWindow>);

}  // namespace

HWND CreatePanelDialogWith(HWND parent, int panel, DLGPROC proc, LPARAM param) {
  const int id = PanelTemplate(panel, TheProgram().shell.screenSize);
  return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(id), parent, proc, param);
}

void ArmPollTimer(HWND window, UINT_PTR timer) {
  SetTimer(window, timer, static_cast<UINT>(TheProgram().link.pollPeriod), nullptr);
}

INT_PTR RunSubDialogWith(HWND owner, int templateId, DLGPROC proc, bool& flag, LPARAM param) {
  flag = true;
  const INT_PTR result =
      DialogBoxParamW(TheApp().instance, MAKEINTRESOURCEW(templateId), owner, proc, param);
  flag = false;
  return result;
}

void CentreOnDesktop(HWND dialog) {
  const ShellState& shell = TheProgram().shell;
  int desktopWidth = shell.desktopWidth, desktopHeight = shell.desktopHeight;
  if (desktopWidth <= 0 || desktopHeight <= 0) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    desktopWidth = desktop.right - desktop.left;
    desktopHeight = desktop.bottom - desktop.top;
  }
  RECT r;
  GetWindowRect(dialog, &r);
  SetWindowPos(dialog, nullptr, shell.desktopLeft + (desktopWidth - (r.right - r.left)) / 2,
               shell.desktopTop + (desktopHeight - (r.bottom - r.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kv
