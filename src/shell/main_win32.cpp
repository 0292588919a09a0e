// Entry point of KV720.exe: start-up, the main window and the message loop.
#include <windows.h>

#include <memory>

#include "link/serial_port_win32.h"
#include "oscilloscope/oscilloscope.h"
#include "resource.h"
#include "shell/main_window_win32.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/fault_log.h"
#include "shell/settings.h"
#include "ui/guard_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  kv::Win32SerialPort port;
  auto program = std::make_unique<kv::Program>();
  program->link.port = &port;
  kv::App& app = kv::TheApp();
  app.program = program.get();
  app.instance = instance;

  // Start-up initialiser: every file of the program is found from the directory it started in,
  // whatever a file dialog later makes current.
  program->settings.startDirectory = kv::CurrentDirectory();
  kv::TheFaultLog().directory = program->settings.startDirectory;
  kv::TheFaultLog().sink = kv::SendFaultToDebugger;
  kv::ResetOscilloscopeHistory(program->oscilloscope);

  if (!kv::RegisterMainWindowClass(instance)) return 0;
  HWND window = kv::CreateMainWindow(instance);
  if (!window) return 0;
  ShowWindow(window, show);
  UpdateWindow(window);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window, accelerators, &msg)) continue;
    // The panels are child dialogs: Tab, the arrows and mnemonics work as in any dialog.
    if (app.panelWindow && IsDialogMessageW(app.panelWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  kv::ClosePort(program->link);
  app.program = nullptr;
  return static_cast<int>(msg.wParam);
}
