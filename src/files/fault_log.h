// Faults stopped at the edge of a window or dialog procedure. No exception may cross into the
// system's message dispatch (under Windows it ends the process or leaves a window half made), so
// each procedure is wrapped (ui/guard_win32.h): the program keeps running, and the fault is
// written as one line to "KV720.log" in the start directory and to the platform's debugger
// output, for a maintainer to find.
#pragma once

#include <string>
#include <string_view>

namespace kv {

inline constexpr const char* kFaultLogName = "KV720.log";
// A fault repeating on every timer tick must not fill the disk: later ones go uncounted.
inline constexpr int kFaultLinesPerRun = 20;

struct FaultLog {
  std::string directory;                         // where KV720.log goes; unset: no file
  int recorded = 0;                              // lines written this run
  void (*sink)(const std::string& line) = nullptr;  // e.g. the debugger output
};
FaultLog& TheFaultLog();

// One line of the log: local time, where it happened, the message being handled and the
// exception's own text, e.g. "2024-03-05 14:07:31 [main window proc] message 0x0001: bad path".
std::string FormatFaultLine(std::string_view when, std::string_view where, unsigned message,
                            std::string_view what);

// Records the exception being handled; call it only from inside a catch block.
void RecordCurrentException(std::string_view where, unsigned message) noexcept;

}  // namespace kv
