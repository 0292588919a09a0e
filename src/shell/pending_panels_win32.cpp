// TEMPORARY: the readings and configuration panels' creation until their own Win32 sides exist.
// Each shows its template and nothing more. Delete this file when they land.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

INT_PTR CALLBACK PendingProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HWND CreatePending(HWND parent, int panel) {
  const int dialog = PanelTemplate(panel, TheProgram().shell.screenSize);
  return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(dialog), parent, PendingProc, 0);
}

}  // namespace

HWND CreateReadingsPanel(HWND parent) { return CreatePending(parent, ReadingsPanel); }
HWND CreateConfigurationPanel(HWND parent) { return CreatePending(parent, ConfigurationPanel); }
void ReadingsApplyScreenSize(HWND) {}
void ReadingsMainPaint(HWND) {}

}  // namespace kv
