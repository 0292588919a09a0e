// The factory reset panel's procedure: messages become calls of the panel logic; the message the
// procedure ends with is shown here, owned by the panel.
#include <windows.h>

#include "files/file_store.h"
#include "files/restore_point_win32.h"
#include "files/settings_file_commands.h"
#include "files/text_win32.h"
#include "reset/reset.h"
#include "reset_ids.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

// Set while a reset runs, including while its message is shown: a click that reaches the button
// then (a message box runs its own message loop) starts nothing.
bool resetRunning = false;

void FitToWindow(HWND panel) {
  const ShellState& shell = TheProgram().shell;
  SetWindowPos(panel, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return MB_ICONERROR;
    case MessageIcon::Warning: return MB_ICONWARNING;
    case MessageIcon::Information: return MB_ICONINFORMATION;
  }
  return 0;
}

// The interface does not respond while the procedure runs; what the user did meanwhile (a
// second press of the button, keys, clicks on the menu) waits in the queue and is dropped here,
// so that it neither starts a second reset nor dismisses the message unseen.
void DropQueuedInput(HWND panel) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
  }
  while (PeekMessageW(&msg, GetDlgItem(panel, IDC_RESET_BUTTON), BM_CLICK, BM_CLICK, PM_REMOVE)) {
  }
}

void OnResetButton(HWND panel) {
  if (resetRunning) return;
  resetRunning = true;
  const Program& program = TheProgram();
  DialogControls controls(panel);
  SystemFileStore files;
  const RestorePoints points = ProgramRestorePoints(files, TheProgram().settings);
  ResetReport report;
  const ResetOutcome outcome = RunFactoryReset(TheProgram(), controls, points, &report);
  DropQueuedInput(panel);
  if (const auto message = MessageFor(outcome)) {
    const FileMessage box{message->caption, message->text};
    const std::string detail = ResetMessageDetail(outcome, report, points, program);
    MessageBoxW(panel, Widen(FileMessageText(box, program.texts, detail)).c_str(),
                Widen(FileMessageCaption(box, program.texts)).c_str(),
                MB_OK | IconStyle(message->icon));
  }
  resetRunning = false;
}

void Paint(HWND panel) {
  PAINTSTRUCT paint;
  BeginPaint(panel, &paint);
  EndPaint(panel, &paint);
  FitToWindow(panel);
  DialogControls controls(panel);
  PaintResetPanel(TheProgram(), controls);
}

INT_PTR CALLBACK ResetProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_PAINT:
      Paint(panel);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_RESET_BUTTON && HIWORD(wParam) == BN_CLICKED) OnResetButton(panel);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateResetPanel(HWND parent) {
  HWND panel = CreatePanelDialog<ResetProc>(parent, ResetPanel);
  if (!panel) return nullptr;
  DialogControls controls(panel);
  StartResetPanel(controls);
  FitToWindow(panel);
  return panel;
}

void ResetMainPaint(HWND panel) {
  FitToWindow(panel);
  DialogControls controls(panel);
  PlaceResetTexts(TheProgram().shell.screenSize, controls);
}

void RelabelResetPanel(HWND panel) {
  DialogControls controls(panel);
  ApplyResetTexts(TheProgram(), controls);
}

}  // namespace kv
