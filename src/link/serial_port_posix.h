// termios implementation of the serial port with the timeout behaviour of the Windows one, so
// native tests and benchmarks talk to kv720-sim over a pseudo-terminal exactly as the exe would.
#pragma once

#include <map>
#include <string>

#include "link/serial_port.h"

namespace kv {

class PosixSerialPort final : public SerialPort {
 public:
  // Port names ("COM1:") found here open the mapped device path; any other name is a path.
  std::map<std::string, std::string> devices;

  ~PosixSerialPort() override { Close(); }
  bool Open(const std::string& name) override;
  void Close() override;
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;
  void PurgeReceive() override;
  void PurgeTransmit() override;
  void Pause(int milliseconds) override;

 private:
  int fd_ = -1;
};

}  // namespace kv
