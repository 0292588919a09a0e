// The serial port of the exe: CreateFileA on "COM1:".."COM4:" with the DCB and COMMTIMEOUTS the
// controller line needs.
#pragma once

#include <windows.h>

#include "link/serial_port.h"

namespace kv {

class Win32SerialPort final : public SerialPort {
 public:
  ~Win32SerialPort() override { Close(); }
  bool Open(const std::string& name) override;
  void Close() override;
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;
  void PurgeReceive() override;
  void PurgeTransmit() override;
  void Pause(int milliseconds) override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace kv
