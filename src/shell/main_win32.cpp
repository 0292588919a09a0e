// Entry point of KV720.exe (being filled in by the shell: for now it opens COM1 and polls).
#include <windows.h>

#include "link/link.h"
#include "link/serial_port_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::Win32SerialPort port;
  kv::Link link;
  link.port = &port;
  for (int i = 0; i < 10; ++i) {
    kv::Identify(link);
    Sleep(static_cast<DWORD>(link.pollPeriod));
  }
  kv::ClosePort(link);
  return 0;
}
