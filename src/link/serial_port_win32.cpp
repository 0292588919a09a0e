#include "link/serial_port_win32.h"

namespace kv {
namespace {

// 9600 8N1, DTR and RTS not asserted, over the DCB the driver reports (fields this program does
// not name keep the driver's values, as Microsoft asks). Everything that could change bytes or
// stop the line is off: no flow control, no parity checking, no end-of-file, error or event
// characters, and no abort on a line error (with it, one framing error fails every later read
// and write until ClearCommError).
void ApplyLineSettings(DCB& dcb) {
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = CBR_9600;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = FALSE;
  dcb.fOutX = FALSE;  // software flow control would swallow 0x11 and 0x13 bytes of the frames
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = FALSE;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  // Windows refuses the whole DCB when the XON and XOFF characters are equal (both zero would
  // be). The usual pair changes nothing on the line while software flow control stays off.
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.ErrorChar = 0;
  dcb.EofChar = 0;
  dcb.EvtChar = 0;
}

// A read of N bytes returns after 100 + 10 x N ms, or once 50 ms pass between two bytes.
constexpr COMMTIMEOUTS kTimeouts = {50, 10, 100, 10, 100};

}  // namespace

bool Win32SerialPort::Open(const std::string& name) {
  Close();
  const ULONGLONG started = GetTickCount64();
  if (!holdOff_.MayOpen(name, started)) return false;
  handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) lastError_ = GetLastError();
  const bool opened = handle_ != INVALID_HANDLE_VALUE && Configure();
  holdOff_.Opened(name, started, GetTickCount64());
  return opened;
}

bool Win32SerialPort::Configure() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle_, &dcb)) dcb = DCB{};  // a driver that reports nothing: all off
  ApplyLineSettings(dcb);
  COMMTIMEOUTS timeouts = kTimeouts;
  if (!SetCommState(handle_, &dcb) || !SetCommTimeouts(handle_, &timeouts)) {
    Fail();
    return false;
  }
  ClearErrors();  // whatever an earlier user of the port left pending
  return true;
}

void Win32SerialPort::Fail() {
  lastError_ = GetLastError();
  Close();
}

void Win32SerialPort::ClearErrors() {
  DWORD errors = 0;
  if (ClearCommError(handle_, &errors, nullptr) && errors) lineErrors_ = errors;
}

void Win32SerialPort::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

std::uint32_t Win32SerialPort::Write(const std::uint8_t* data, std::uint32_t count) {
  DWORD written = 0;
  if (handle_ == INVALID_HANDLE_VALUE) return 0;
  if (!WriteFile(handle_, data, count, &written, nullptr)) {
    lastError_ = GetLastError();
    ClearErrors();  // so that the next transfer is not refused as well
    return 0;
  }
  return written;
}

std::uint32_t Win32SerialPort::Read(std::uint8_t* data, std::uint32_t count) {
  DWORD read = 0;
  if (handle_ == INVALID_HANDLE_VALUE) return 0;
  if (!ReadFile(handle_, data, count, &read, nullptr)) {
    lastError_ = GetLastError();
    ClearErrors();
    return 0;
  }
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
