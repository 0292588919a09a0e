// The configuration panel's dialog procedure: messages become calls of the panel logic.
#include <windows.h>

#include "configuration/configuration.h"
#include "configuration/emulation_win32.h"
#include "configuration_ids.h"
#include "resource.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/controls_win32.h"
#include "ui/guard_win32.h"

namespace kv {
namespace {

int TemplateForScreenSize(int screenSize) {
  switch (screenSize) {
    case 1: return IDD_CONFIGURATION_640;
    case 3: return IDD_CONFIGURATION_1024;
    case 4: return IDD_CONFIGURATION_1280X960;
    case 5: return IDD_CONFIGURATION_1280X1024;
    default: return IDD_CONFIGURATION_800;
  }
}

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

void StartTimer(HWND dialog, const Program& program) {
  SetTimer(dialog, kConfigurationTimer, static_cast<UINT>(program.link.pollPeriod), nullptr);
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
      KillTimer(dialog, kConfigurationTimer);
      StartTimer(dialog, program);
      SetWindowPos(dialog, nullptr, 0, 0, program.shell.windowWidth, program.shell.windowHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam == kConfigurationTimer) {
        Program& program = TheProgram();
        DialogControls controls(dialog);
        if (ConfigurationTick(program, controls)) StartTimer(dialog, program);
      }
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

static_assert(kButtonClicked == BN_CLICKED && kListSelectionChange == CBN_SELCHANGE &&
              kListDropDown == CBN_DROPDOWN);

}  // namespace

HWND CreateConfigurationPanel(HWND parent) {
  Program& program = TheProgram();
  HWND dialog = CreateDialogParamW(TheApp().instance,
                                   MAKEINTRESOURCEW(TemplateForScreenSize(program.shell.screenSize)),
                                   parent, GuardedDialogProc<ConfigurationProc>, 0);
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
