// The one small interface the link needs of a serial port. Implementations: Win32 (the exe),
// POSIX termios (native tests and benchmarks against kv720-sim) and a scripted fake (unit tests).
#pragma once

#include <cstdint>
#include <string>

namespace kv {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the named device ("COM1:".."COM4:" or a path) exclusively, 9600 8N1, DTR and RTS not
  // asserted, no flow control, raw bytes, and applies the timeouts: a read of N bytes returns
  // after 100 + 10 x N ms in all, or when 50 ms pass between two bytes; a write of N bytes may
  // take 100 + 10 x N ms. Returns false when the device cannot be opened; the port then stays
  // closed and every read and write moves no bytes.
  virtual bool Open(const std::string& name) = 0;
  virtual void Close() = 0;
  // Number of bytes actually moved.
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) = 0;
  virtual std::uint32_t Read(std::uint8_t* data, std::uint32_t count) = 0;
  virtual void PurgeReceive() = 0;
  virtual void PurgeTransmit() = 0;
  // Gives up the rest of the time slice between a write command and its acknowledgement.
  virtual void Pause(int milliseconds) = 0;
};

}  // namespace kv
