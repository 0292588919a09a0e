// What kv720-cli needs of the machine it runs on: one small interface, with a POSIX and a Win32
// implementation (platform_posix.cpp, platform_win32.cpp) and a fake in the unit tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "files/file_store.h"
#include "link/serial_port.h"
#include "live.h"

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

// The device behind a serial port, as far as the system tells.
struct AdapterInfo {
  bool known = false;            // the system says what the port is
  std::string name;              // "FTDI FT232R USB UART (USB 0403:6001)"
  bool latencyTimer = false;     // its driver holds received bytes for a latency timer
  int latencyMs = -1;            // the timer now; -1 when it cannot be read
  std::string setToOne;          // how to set the timer to 1 ms here: a command, or the steps
};

enum class LatencyChange {
  Done,         // set, and in effect now
  AfterReplug,  // set, in effect once the adapter is unplugged and plugged in again
  NotAllowed,   // this user may not: `message` says how to do it
  Impossible,   // the system offers no way: `message` says why
};

struct LatencyResult {
  LatencyChange change = LatencyChange::Impossible;
  std::string message;
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
  // The adapter behind `device` and its latency timer; setting it, where the system allows.
  virtual AdapterInfo DescribeAdapter(const std::string& device) = 0;
  virtual LatencyResult SetLatencyTimer(const std::string& device, int milliseconds) = 0;
  // Ctrl+C was pressed (or Ctrl+Break, the console window closed, SIGTERM or SIGHUP came).
  virtual bool Interrupted() const = 0;
  // While held, none of those ends the program, a second Ctrl+C and a closed console window
  // included: each only turns Interrupted() true, and the command ends itself once the hold is
  // let go. A sequence of writes runs held, so that no car is left half-loaded.
  virtual void HoldInterrupts(bool hold) = 0;
  // While on, the system clock ticks every millisecond, so that record and watch keep their
  // 50 ms cadence (Windows otherwise wakes a sleep only every 15.6 ms).
  virtual void FineClock(bool on) = 0;
  virtual LocalTime Now() const = 0;
  // Where load keeps its restore points unless --backups says otherwise.
  virtual std::string DefaultBackupFolder() const = 0;
  // Whether standard output and standard error are terminals (progress and live lines are
  // redrawn in place only there).
  virtual bool OutputIsTerminal() const = 0;
  virtual bool ErrorsAreTerminal() const = 0;

  // Keys typed on standard input since the last call, never waiting for any: UTF-8 text, "\n"
  // for Enter, "\b" for Backspace. From the first call on, a terminal hands over each key as it
  // is typed and does not echo it (the caller shows the words) until EndTyping().
  virtual std::string TypedKeys() { return {}; }
  virtual void EndTyping() {}
  // A recording's file, open for writing: a new file (nullptr when one of that name exists) or,
  // with `replace`, in place of any file of that name. Paths are UTF-8.
  virtual std::FILE* CreateRecording(const std::string& path, bool replace) = 0;
  // Flushes the file and hands its data to the disk, not only to the system's cache.
  virtual bool SyncRecording(std::FILE* file) = 0;
};

// Turns one of the platform's switches on for its lifetime, and off on every way out.
template <void (Platform::*Switch)(bool)>
class PlatformHold {
 public:
  explicit PlatformHold(Platform& p) : p_(p) { (p_.*Switch)(true); }
  ~PlatformHold() { (p_.*Switch)(false); }
  PlatformHold(const PlatformHold&) = delete;
  PlatformHold& operator=(const PlatformHold&) = delete;

 private:
  Platform& p_;
};
using InterruptHold = PlatformHold<&Platform::HoldInterrupts>;
using FineClockHold = PlatformHold<&Platform::FineClock>;

}  // namespace kv::cli
