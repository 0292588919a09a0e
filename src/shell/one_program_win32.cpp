#include "shell/one_program_win32.h"

#include "resource.h"

namespace kv {
namespace {

// Per session ("Local\"): another user logged on at the same PC runs a program of their own.
constexpr const wchar_t* kRunningMutex = L"Local\\KV720.ServiceTool.Running";

// The running program may still be making its window (two quick double-clicks); it is given a
// couple of seconds.
HWND FindRunningWindow(HINSTANCE instance) {
  wchar_t className[256] = {};
  LoadStringW(instance, IDS_CLASS_NAME, className, 255);
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (HWND window = FindWindowW(className, nullptr)) return window;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

bool BringRunningProgramToFront(HINSTANCE instance) {
  // The handle stays open for the program's life; Windows closes it at exit.
  if (!CreateMutexW(nullptr, FALSE, kRunningMutex) || GetLastError() != ERROR_ALREADY_EXISTS)
    return false;
  HWND window = FindRunningWindow(instance);
  if (!window) return true;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // A message box or file dialog of the running program comes first; the program started by the
  // user's own click may set the foreground.
  SetForegroundWindow(GetLastActivePopup(window));
  return true;
}

}  // namespace kv
