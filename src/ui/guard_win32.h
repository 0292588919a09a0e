// Window and dialog procedures behind a guard: an exception stops here, is recorded
// (files/fault_log.h) and the message gets the system's default handling, so the program runs
// on. Every dialog's drop-down lists ignore the mouse wheel while closed (ui/lists_win32.h). Use the guarded form wherever a procedure is handed to Windows:
//   wc.lpfnWndProc = GuardedWindowProc<MainWindowProc>;
//   CreateDialogParamW(instance, name, parent, GuardedDialogProc<PanelProc>, 0);
#pragma once

#include <windows.h>

#include "files/fault_log.h"
#include "ui/lists_win32.h"

namespace kv {

template <WNDPROC Proc>
LRESULT CALLBACK GuardedWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  try {
    return Proc(window, message, wParam, lParam);
  } catch (...) {
    // The function's own name carries the procedure's, which tells the maintainer where.
    RecordCurrentException(__PRETTY_FUNCTION__, message);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

template <DLGPROC Proc>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  try {
    // Every dialog's lists, before its own procedure fills them.
    if (message == WM_INITDIALOG) KeepWheelOffClosedLists(dialog);
    return Proc(dialog, message, wParam, lParam);
  } catch (...) {
    RecordCurrentException(__PRETTY_FUNCTION__, message);
  }
  return FALSE;  // not handled: the dialog manager's default
}

// The debugger output as the fault log's second sink (DebugView, a debugger's output window).
inline void SendFaultToDebugger(const std::string& line) { OutputDebugStringA(line.c_str()); }

}  // namespace kv
