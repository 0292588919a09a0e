#include "shell/restore_point_win32.h"

#include <windows.h>

#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace kv {
namespace {

RestoreTime LocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

RestorePoints ProgramRestorePoints(FileStore& files) {
  const ProgramSettings& settings = TheProgram().settings;
  // The start directory, not the current one: a file dialog moves the current directory to the
  // folder of the file chosen.
  return {files, PathInStartDirectory(settings.startDirectory, {"Backups"}), &LocalTimeNow,
          CodePageForLanguage(settings.languageCode)};
}

}  // namespace kv
