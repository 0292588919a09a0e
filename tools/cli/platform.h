// What kv720-cli needs of the machine it runs on: one small interface, with a POSIX and a Win32
// implementation (platform_posix.cpp, platform_win32.cpp) and a fake in the unit tests.
#pragma once

#include <string>
#include <vector>

#include "link/serial_port.h"
#include "live.h"
#include "shell/file_store.h"

namespace kv::cli {

enum class PortTrouble { None, Missing, Busy, Permission, NotSerial, Other };

struct PortProblem {
  PortTrouble trouble = PortTrouble::None;
  std::string message;  // one line: what is wrong and what to do about it
};

struct PortEntry {
  std::string name;         // what --port takes: "/dev/ttyUSB0", "COM7"
  std::string description;  // friendly text where the platform has one
};

class Platform {
 public:
  virtual ~Platform() = default;
  virtual SerialPort& Port() = 0;
  virtual FileStore& Files() = 0;
  // The device name the port opens for what the user typed ("COM12" -> "\\.\COM12").
  virtual std::string DeviceName(const std::string& port) const = 0;
  // Why the device does not open (trouble None when it opens now).
  virtual PortProblem DiagnoseOpen(const std::string& device) = 0;
  // The serial ports that are really there, ghosts left out.
  virtual std::vector<PortEntry> ListPorts() = 0;
  // Ctrl+C was pressed.
  virtual bool Interrupted() const = 0;
  virtual LocalTime Now() const = 0;
  // Where load keeps its restore points unless --backups says otherwise.
  virtual std::string DefaultBackupFolder() const = 0;
  // Whether standard output and standard error are terminals (progress and live lines are
  // redrawn in place only there).
  virtual bool OutputIsTerminal() const = 0;
  virtual bool ErrorsAreTerminal() const = 0;
};

}  // namespace kv::cli
