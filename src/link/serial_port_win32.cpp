#include "link/serial_port_win32.h"

namespace kv {

bool Win32SerialPort::Open(const std::string& name) {
  Close();
  handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return false;

  // Everything not set here is zero: no flow control, no parity checking, no special characters.
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = CBR_9600;
  dcb.fBinary = TRUE;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
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
