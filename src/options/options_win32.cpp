// The options panel's dialog procedure: messages become calls of the panel logic; the two buttons
// run the corrections and gas level sensor dialogs modally over the panel.
#include <windows.h>

#include "options/options.h"
#include "options/options_dialogs_win32.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

void OnPaint(HWND dialog) {
  // Polling starts with the first paint, and every repaint restarts the timer's count.
  const ShellState& shell = TheProgram().shell;
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
  ArmPollTimer(dialog, kPanelTimer);
  SetWindowPos(dialog, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_TIMER:
      OnPollTimer(dialog, wParam, kPanelTimer, [dialog] {
        DialogControls controls(dialog);
        return OptionsTick(TheProgram(), controls);
      });
      return TRUE;
    case WM_COMMAND: {
      DialogControls controls(dialog);
      switch (OptionsCommand(TheProgram(), controls, LOWORD(wParam), HIWORD(wParam))) {
        case OptionsFollowUp::OpenCorrections: RunCorrectionsDialog(dialog); break;
        case OptionsFollowUp::OpenGasSensor: RunGasSensorDialog(dialog); break;
        case OptionsFollowUp::None: break;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateOptionsPanel(HWND parent) {
  Program& program = TheProgram();
  HWND dialog = CreatePanelDialog<OptionsProc>(parent, OptionsPanel);
  if (!dialog) return nullptr;
  DialogControls controls(dialog);
  FillOptionsLists(program, controls);
  ApplyOptionsTexts(program, controls);
  // The main window validates the panel when it paints, which could swallow the panel's own
  // first paint; that paint starts the polling, so it is made here.
  UpdateWindow(dialog);
  return dialog;
}

}  // namespace kv
