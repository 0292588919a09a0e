#include "files/restore_point_win32.h"

#include <windows.h>


namespace kv {
namespace {

RestoreTime LocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

RestorePoints ProgramRestorePoints(FileStore& files, const ProgramSettings& settings) {
  const std::string perUser =
      settings.userFolder.empty() ? std::string() : PathInStartDirectory(settings.userFolder, {"Backups"});
  // The start directory, not the current one. Started from a temporary folder, the points go to
  // the per-user folder alone: the temporary one is deleted by Windows.
  const std::string beside = PathInStartDirectory(settings.startDirectory, {"Backups"});
  if (settings.temporaryStart && !perUser.empty())
    return {files, perUser, &LocalTimeNow, CodePageForLanguage(settings.languageCode)};
  return {files, beside, &LocalTimeNow, CodePageForLanguage(settings.languageCode), perUser};
}

}  // namespace kv
