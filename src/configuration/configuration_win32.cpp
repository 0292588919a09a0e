// The configuration panel's dialog procedure: messages become calls of the panel logic.
#include <windows.h>

#include "configuration/configuration.h"
#include "configuration/emulation_win32.h"
#include "configuration_ids.h"
#include "resource.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

// Lists of language texts can hold items wider than their field; they open wide enough to show
// each item whole.
void FitDroppedWidth(HWND dialog, int id) {
  HWND list = GetDlgItem(dialog, id);
  if (!list) return;
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const auto count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t item[256] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= 256) continue;
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    SIZE size{};
    GetTextExtentPoint32W(dc, item, lstrlenW(item), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  const LONG needed = widest + GetSystemMetrics(SM_CXVSCROLL) + 8;
  if (needed > SendMessageW(list, CB_GETDROPPEDWIDTH, 0, 0))
    SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(needed), 0);
}

INT_PTR CALLBACK ConfigurationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_PAINT: {
      // Polling starts with the first paint, and every repaint restarts the timer's count.
      Program& program = TheProgram();
      PAINTSTRUCT paint;
      BeginPaint(dialog, &paint);
      EndPaint(dialog, &paint);
      ArmPollTimer(dialog, kPanelTimer);
      SetWindowPos(dialog, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_TIMER:
      OnPollTimer(dialog, wParam, kPanelTimer, [dialog] {
        DialogControls controls(dialog);
        return ConfigurationTick(TheProgram(), controls);
      });
      return TRUE;
    case WM_COMMAND: {
      DialogControls controls(dialog);
      if (ConfigurationCommand(TheProgram(), controls, LOWORD(wParam), HIWORD(wParam)) ==
          ConfigurationFollowUp::OpenEmulationDialog) {
        SendDlgItemMessageW(dialog, IDC_EMUL_TYPE, CB_SHOWDROPDOWN, FALSE, 0);
        RunEmulationDialog(dialog);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateConfigurationPanel(HWND parent) {
  Program& program = TheProgram();
  HWND dialog = CreatePanelDialog<ConfigurationProc>(parent, ConfigurationPanel);
  if (!dialog) return nullptr;
  DialogControls controls(dialog);
  FillConfigurationLists(program, controls);
  ApplyConfigurationTexts(program, controls);
  for (int id : {IDC_EMUL_TYPE, IDC_IGNITION_TYPE, IDC_SPEED_SWITCH, IDC_TPS_TYPE})
    FitDroppedWidth(dialog, id);
  // The main window validates the panel when it paints, which could swallow the panel's own
  // first paint; that paint starts the polling, so it is made here.
  UpdateWindow(dialog);
  return dialog;
}

}  // namespace kv
