// TEMPORARY: the readings and configuration panels' creation until their own Win32 sides exist.
// Each shows its template and nothing more, and steps aside as soon as the panel's own Win32
// source is in the tree. Delete this file when both have landed.
#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

[[maybe_unused]] INT_PTR CALLBACK PendingProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

[[maybe_unused]] HWND CreatePending(HWND parent, int panel) {
  const int dialog = PanelTemplate(panel, TheProgram().shell.screenSize);
  return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(dialog), parent, PendingProc, 0);
}

}  // namespace

#if !__has_include("readings/readings_win32.cpp")
HWND CreateReadingsPanel(HWND parent) { return CreatePending(parent, ReadingsPanel); }
void ReadingsApplyScreenSize(HWND) {}
void ReadingsMainPaint(HWND) {}
#endif
#if !__has_include("configuration/configuration_win32.cpp")
HWND CreateConfigurationPanel(HWND parent) { return CreatePending(parent, ConfigurationPanel); }
#endif

}  // namespace kv
