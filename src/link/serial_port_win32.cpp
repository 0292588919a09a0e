#include "link/serial_port_win32.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

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
// How long a transfer of N bytes is waited for: the total timeout above, and more, so that a
// driver that keeps the timeouts always ends the transfer itself, bytes and all, even when this
// thread or the system's I/O completion runs late on a busy PC (a cancel that came first would
// throw away a reply that had arrived). Only a driver that ignores its timeouts waits this out.
constexpr DWORD kTransferGraceMs = 200;
// After a cancel, how long the driver gets to give the transfer back.
constexpr DWORD kCancelWaitMs = 500;

DWORD TransferBoundMs(std::uint32_t count) {
  return kTimeouts.ReadTotalTimeoutConstant + kTimeouts.ReadTotalTimeoutMultiplier * count +
         kTransferGraceMs;
}

// One read or write in flight, with a buffer of its own: a transfer that the driver does not
// give back even when cancelled is left behind whole, so it can never write into memory that
// is used again.
struct PendingTransfer {
  OVERLAPPED overlapped{};
  std::vector<std::uint8_t> bytes;
  explicit PendingTransfer(std::uint32_t count) : bytes(count) {
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~PendingTransfer() {
    if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
  }
  // Waits for the end of the transfer up to `boundMs`, then cancels it and waits for the cancel.
  // False when the driver keeps it even then.
  bool Finish(HANDLE port, DWORD boundMs) {
    if (WaitForSingleObject(overlapped.hEvent, boundMs) == WAIT_OBJECT_0) return true;
    CancelIoEx(port, &overlapped);
    return WaitForSingleObject(overlapped.hEvent, kCancelWaitMs) == WAIT_OBJECT_0;
  }
};

}  // namespace

bool Win32SerialPort::Open(const std::string& name) {
  Close();
  const ULONGLONG started = GetTickCount64();
  if (!holdOff_.MayOpen(name, started)) return false;
  handle_ = opener_.Open(name, openWaitMs_, lastError_);
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
  return Transfer(nullptr, data, count);
}

std::uint32_t Win32SerialPort::Read(std::uint8_t* data, std::uint32_t count) {
  return Transfer(data, nullptr, count);
}

// The bytes moved (what arrived before a cancel included). A transfer that the driver does not
// give back closes the port: the link then counts misses and goes offline, as with a silent
// controller, and opens the port afresh.
std::uint32_t Win32SerialPort::Transfer(std::uint8_t* readInto, const std::uint8_t* writeFrom,
                                        std::uint32_t count) {
  const bool read = readInto != nullptr;
  if (handle_ == INVALID_HANDLE_VALUE || count == 0) return 0;
  auto t = std::make_unique<PendingTransfer>(count);
  if (!t->overlapped.hEvent) return 0;
  if (!read) std::memcpy(t->bytes.data(), writeFrom, count);
  const BOOL started = read ? ReadFile(handle_, t->bytes.data(), count, nullptr, &t->overlapped)
                            : WriteFile(handle_, t->bytes.data(), count, nullptr, &t->overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) {
    lastError_ = GetLastError();
    ClearErrors();  // so that the next transfer is not refused as well
    return 0;
  }
  if (!t->Finish(handle_, TransferBoundMs(count))) {
    t.release();  // still the driver's: its buffer and event must outlive it
    lastError_ = ERROR_TIMEOUT;
    Close();
    return 0;
  }
  DWORD moved = 0;
  if (!GetOverlappedResult(handle_, &t->overlapped, &moved, FALSE)) {
    lastError_ = GetLastError();  // ERROR_OPERATION_ABORTED after a cancel
    ClearErrors();
  }
  moved = std::min<DWORD>(moved, count);
  if (read) std::memcpy(readInto, t->bytes.data(), moved);
  return moved;
}

void Win32SerialPort::PurgeReceive() {
  if (handle_ != INVALID_HANDLE_VALUE) PurgeComm(handle_, PURGE_RXCLEAR);
}

void Win32SerialPort::PurgeTransmit() {
  if (handle_ != INVALID_HANDLE_VALUE) PurgeComm(handle_, PURGE_TXCLEAR);
}

void Win32SerialPort::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace kv
