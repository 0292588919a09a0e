// Opening a serial port without waiting on a driver that never finishes the open (a Bluetooth
// port whose device is out of reach, a hung USB adapter). CreateFile has no asynchronous form:
// FILE_FLAG_OVERLAPPED makes the later reads and writes asynchronous, not the open. So the open
// runs on a short-lived thread of its own, and the caller waits for it at most a bounded time.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

class BoundedOpen {
 public:
  BoundedOpen() = default;
  ~BoundedOpen();
  BoundedOpen(const BoundedOpen&) = delete;
  BoundedOpen& operator=(const BoundedOpen&) = delete;

  // CreateFileA(name) for reading and writing, exclusive, overlapped, waited for at most
  // `waitMs`. INVALID_HANDLE_VALUE with `error` set when it fails, and ERROR_TIMEOUT when it was
  // still running at the bound. Such an open is left to finish on its own: one that succeeds
  // after all is handed to the next call for the same name; while it still runs, that call
  // fails at once rather than start a second open of the port.
  HANDLE Open(const std::string& name, DWORD waitMs, DWORD& error);

 private:
  struct Attempt;
  Attempt* pending_ = nullptr;  // an open that ran past its bound
};

}  // namespace kv
