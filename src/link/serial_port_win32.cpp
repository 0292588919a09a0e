#include "link/serial_port_win32.h"

namespace kv {
namespace {

// 9600 8N1, DTR and RTS not asserted. Everything else is zero: no flow control, no parity
// checking, no end-of-file, error or event characters.
constexpr DCB LineSettings() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = CBR_9600;
  dcb.fBinary = TRUE;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  // Windows refuses the whole DCB when the XON and XOFF characters are equal (both zero would
  // be), and the port would keep whatever settings it had. The usual pair changes nothing on the
  // line while software flow control stays off.
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}
static_assert(LineSettings().XonChar != LineSettings().XoffChar,
              "SetCommState fails when the XON and XOFF characters are equal");
static_assert(!LineSettings().fOutX && !LineSettings().fInX,
              "software flow control would swallow 0x11 and 0x13 bytes of the frames");

}  // namespace

bool Win32SerialPort::Open(const std::string& name) {
  Close();
  handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return false;

  DCB dcb = LineSettings();
  SetCommState(handle_, &dcb);  // failures are ignored: the exchanges show whether the line works

  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 50;
  timeouts.ReadTotalTimeoutMultiplier = 10;
  timeouts.ReadTotalTimeoutConstant = 100;
  timeouts.WriteTotalTimeoutMultiplier = 10;
  timeouts.WriteTotalTimeoutConstant = 100;
  SetCommTimeouts(handle_, &timeouts);
  return true;
}

void Win32SerialPort::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

std::uint32_t Win32SerialPort::Write(const std::uint8_t* data, std::uint32_t count) {
  DWORD written = 0;
  if (handle_ == INVALID_HANDLE_VALUE || !WriteFile(handle_, data, count, &written, nullptr))
    return 0;
  return written;
}

std::uint32_t Win32SerialPort::Read(std::uint8_t* data, std::uint32_t count) {
  DWORD read = 0;
  if (handle_ == INVALID_HANDLE_VALUE || !ReadFile(handle_, data, count, &read, nullptr)) return 0;
  return read;
}

void Win32SerialPort::PurgeReceive() {
  if (handle_ != INVALID_HANDLE_VALUE) PurgeComm(handle_, PURGE_RXCLEAR);
}

void Win32SerialPort::PurgeTransmit() {
  if (handle_ != INVALID_HANDLE_VALUE) PurgeComm(handle_, PURGE_TXCLEAR);
}

void Win32SerialPort::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace kv
