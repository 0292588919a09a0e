#include "files/file_store.h"

#include <windows.h>

#include <algorithm>

#include "files/held_file.h"
#include "files/text_win32.h"

namespace kv {
namespace {

// The errors of a file that another program holds for a moment.
FileStep StepResult(BOOL ok) {
  if (ok) return FileStep::Done;
  const DWORD error = GetLastError();
  const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                    error == ERROR_ACCESS_DENIED;
  return held ? FileStep::Held : FileStep::Failed;
}

using Pause = std::function<void(int)>;

bool MoveHeld(const std::wstring& from, const std::wstring& to, DWORD flags, const Pause& pause) {
  return RetryWhileHeld([&] { return StepResult(MoveFileExW(from.c_str(), to.c_str(), flags)); },
                        pause);
}

bool DeleteHeld(const std::wstring& path, const Pause& pause) {
  return RetryWhileHeld([&] { return StepResult(DeleteFileW(path.c_str())); }, pause);
}

bool WriteAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1 << 16));
    DWORD written = 0;
    if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

// The folder of a path, for a temporary file that MoveFileExW can rename over the target (a
// rename within one volume is a single step).
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0 || path[slash - 1] == L':') return path.substr(0, slash + 1);  // a root
  return path.substr(0, slash);
}

enum class Temporary { Written, NotMade, Failed };

// Writes the content to a new temporary file in the target's folder, flushed to the disk; `temp`
// gets its name. NotMade when the folder takes no new file; a full disk is a failure, so that no
// file is then cut short to be written in place. Nothing is left behind when it fails. A scanner
// may be looking at the file GetTempFileNameW has just made: its open waits out a hold too.
Temporary WriteTemporary(const std::wstring& target, std::string_view content, std::wstring& temp,
                         const Pause& pause) {
  // GetTempFileNameW takes a folder of at most MAX_PATH - 14 characters, so that its name fits
  // the buffer; Wine does not check and writes past the end.
  const std::wstring folder = FolderOf(target);
  if (folder.size() > MAX_PATH - 14) return Temporary::NotMade;
  wchar_t name[MAX_PATH] = {};
  if (!GetTempFileNameW(folder.c_str(), L"kv7", 0, name)) {
    const DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? Temporary::Failed
                                                                       : Temporary::NotMade;
  }
  temp = name;
  HANDLE file = INVALID_HANDLE_VALUE;
  RetryWhileHeld([&] {
    file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    return StepResult(file != INVALID_HANDLE_VALUE);
  }, pause);
  bool ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    ok = WriteAll(file, content) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
  }
  if (!ok) DeleteHeld(temp, pause);
  return ok ? Temporary::Written : Temporary::Failed;
}

// Opens the file as `disposition` says (TRUNCATE_EXISTING, OPEN_ALWAYS), writes, and closes.
// Readers of the file may go on reading.
bool WriteThrough(const std::wstring& path, DWORD access, DWORD disposition,
                  std::string_view content, bool flush) {
  HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(file, content) && (!flush || FlushFileBuffers(file));
  return CloseHandle(file) && ok;
}

bool IsRegularFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PutInPlace(const std::wstring& target, std::string_view content, bool rewriteInPlace,
                 const Pause& pause) {
  std::wstring temp;
  switch (WriteTemporary(target, content, temp, pause)) {
    case Temporary::NotMade:
      return rewriteInPlace && IsRegularFile(target) &&
             WriteThrough(target, GENERIC_WRITE, TRUNCATE_EXISTING, content, /*flush=*/true);
    case Temporary::Failed:
      return false;
    case Temporary::Written:
      break;
  }
  const bool ok =
      MoveHeld(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, pause);
  if (!ok) DeleteHeld(temp, pause);
  return ok;
}

}  // namespace

bool SystemFileStore::Read(const std::string& path, std::size_t limit, std::string& content) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  content.clear();
  char buffer[4096];
  bool ok = true;
  while (content.size() < limit) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, limit - content.size()));
    if (!ReadFile(file, buffer, want, &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    content.append(buffer, got);
  }
  CloseHandle(file);
  return ok;
}

bool SystemFileStore::Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SystemFileStore::Replace(const std::string& path, std::string_view content) {
  return PutInPlace(Widen(path), content, /*rewriteInPlace=*/false, pauseWhileHeld);
}

bool SystemFileStore::ReplaceOrRewrite(const std::string& path, std::string_view content) {
  return PutInPlace(Widen(path), content, /*rewriteInPlace=*/true, pauseWhileHeld);
}

bool SystemFileStore::Append(const std::string& path, std::string_view content) {
  // FILE_APPEND_DATA alone: every write lands at the end, whoever else writes the file.
  return WriteThrough(Widen(path), FILE_APPEND_DATA, OPEN_ALWAYS, content, /*flush=*/false);
}

bool SystemFileStore::CreateNew(const std::string& path, std::string_view content) {
  const std::wstring target = Widen(path);
  std::wstring temp;
  if (WriteTemporary(target, content, temp, pauseWhileHeld) != Temporary::Written) return false;
  // Without MOVEFILE_REPLACE_EXISTING the move fails when a file of that name exists
  // (ERROR_ALREADY_EXISTS, not a hold: it is not tried again).
  const bool ok = MoveHeld(temp, target, MOVEFILE_WRITE_THROUGH, pauseWhileHeld);
  if (!ok) DeleteHeld(temp, pauseWhileHeld);
  return ok;
}

void SystemFileStore::SleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

bool SystemFileStore::MakeFolder(const std::string& path) {
  const std::wstring folder = Widen(path);
  // Each parent in turn; a part that exists or cannot be made (a drive, a share) is passed over,
  // the folder itself decides.
  const wchar_t* separators = L"\\/";
  for (std::size_t at = folder.find_first_of(separators, 1);;
       at = folder.find_first_of(separators, at + 1)) {
    CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    if (at == std::wstring::npos) break;
  }
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithPlatformLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace kv
