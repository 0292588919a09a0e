// The serial port of the exe: CreateFileA on "COM1:".."COM4:" with the DCB and COMMTIMEOUTS the
// controller line needs. Every read and write is overlapped and waited for no longer than those
// timeouts allow, and the open is bounded too: some Bluetooth and clone USB drivers ignore the
// timeouts or never finish an open, and the window's one thread must not wait on them.
#pragma once

#include <windows.h>

#include "link/bounded_open_win32.h"
#include "link/serial_port.h"
#include "link/slow_open.h"

namespace kv {

class Win32SerialPort final : public SerialPort {
 public:
  // How long an open is waited for: the window's one thread waits 2 s at most (a slower port is
  // then held off, see slow_open.h); the command line can wait longer for a Bluetooth device.
  static constexpr DWORD kWindowOpenWaitMs = 2000;
  explicit Win32SerialPort(DWORD openWaitMs = kWindowOpenWaitMs) : openWaitMs_(openWaitMs) {}
  ~Win32SerialPort() override { Close(); }
  // Fails, with the port closed, when the device does not open, when the line settings or the
  // timeouts are refused (a port left at another program's settings or with no timeouts would
  // garble or block), and without trying while a slow open of the same port is held off.
  bool Open(const std::string& name) override;
  void Close() override;
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;
  void PurgeReceive() override;
  void PurgeTransmit() override;
  void Pause(int milliseconds) override;

  // Kept for diagnosis: the system error of the last failed call and the line errors
  // (CE_FRAME, CE_OVERRUN, ...) that ClearCommError last reported.
  DWORD lastError() const { return lastError_; }
  DWORD lineErrors() const { return lineErrors_; }

 private:
  bool Configure();
  void Fail();
  void ClearErrors();
  // One overlapped read (into `readInto`) or write (from `writeFrom`), bounded.
  std::uint32_t Transfer(std::uint8_t* readInto, const std::uint8_t* writeFrom, std::uint32_t count);

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  BoundedOpen opener_;
  DWORD openWaitMs_;
  SlowOpenHoldOff holdOff_;
  DWORD lastError_ = 0;
  DWORD lineErrors_ = 0;
};

}  // namespace kv
