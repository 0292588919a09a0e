#include "ui/lists_win32.h"

#include <commctrl.h>

namespace kv {
namespace {

constexpr UINT_PTR kWheelSubclass = 0x4B57;  // any id of our own

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
  if (message == WM_MOUSEWHEEL && !SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) return 0;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, &ListProc, kWheelSubclass);
  return DefSubclassProc(list, message, wParam, lParam);
}

BOOL CALLBACK SubclassIfList(HWND child, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (lstrcmpiW(cls, L"ComboBox") == 0) SetWindowSubclass(child, &ListProc, kWheelSubclass, 0);
  return TRUE;
}

}  // namespace

void KeepWheelOffClosedLists(HWND dialog) { EnumChildWindows(dialog, &SubclassIfList, 0); }

}  // namespace kv
