#include "files/fault_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>

#include "files/file_store.h"
#include "files/settings.h"

namespace kv {
namespace {

std::string Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm* local = std::localtime(&now);
  char text[32] = {};
  if (!local || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local)) return "?";
  return text;
}

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "exception of unknown type";
  }
}

}  // namespace

FaultLog& TheFaultLog() {
  static FaultLog log;
  return log;
}

std::string FormatFaultLine(std::string_view when, std::string_view where, unsigned message,
                            std::string_view what) {
  char number[16] = {};
  std::snprintf(number, sizeof number, "0x%04X", message);
  std::string line(when);
  line += " [";
  line += where;
  line += "] message ";
  line += number;
  line += ": ";
  // One line per fault, whatever the exception's text holds.
  for (char c : what) line += (c == '\n' || c == '\r') ? ' ' : c;
  line += '\n';
  return line;
}

void RecordCurrentException(std::string_view where, unsigned message) noexcept {
  try {
    FaultLog& log = TheFaultLog();
    if (log.recorded >= kFaultLinesPerRun) return;
    ++log.recorded;
    const std::string line = FormatFaultLine(Now(), where, message, CurrentExceptionText());
    if (log.sink) log.sink(line);
    const std::string path =
        log.directory.empty() ? std::string() : PathInStartDirectory(log.directory, {kFaultLogName});
    if (!path.empty()) SystemFileStore().Append(path, WithPlatformLineEnds(line));
  } catch (...) {
    // Recording is best effort: nothing may leave this function.
  }
}

}  // namespace kv
