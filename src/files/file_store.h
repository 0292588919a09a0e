// The one small interface the settings-file commands need of the file system, so that they are
// tested against a fake folder. Implementations: Win32 (the exe), POSIX (native tools and
// tests) and a fake in the unit tests. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kv {

class FileStore {
 public:
  virtual ~FileStore() = default;

  // The first `limit` bytes of the file (all of a shorter one). False when the file cannot be
  // opened or read.
  virtual bool Read(const std::string& path, std::size_t limit, std::string& content) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Writes `content` to a new file in the same folder and then puts it in place of `path` in one
  // step. A file already at `path` is never truncated or half-written: after a failure it is
  // exactly as it was, and no temporary file is left behind.
  virtual bool Replace(const std::string& path, std::string_view content) = 0;
  // Writes `content` as a new file at `path` in one step, the same way, but never over a file:
  // false when one of that name exists (it stays as it was) or the file cannot be written.
  virtual bool CreateNew(const std::string& path, std::string_view content) = 0;
  // Makes the folder and any missing parents; true when the folder exists afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
};

// The system's own store, one implementation per platform: file_store_posix.cpp (a temporary file
// beside the target, fsync, then rename(2), or link(2) for a new file) and file_store_win32.cpp
// (wide-character paths, then MoveFileExW, replacing or, for a new file, refusing to). Every
// rename and delete waits out a file held for a moment by another program (held_file.h).
class SystemFileStore final : public FileStore {
 public:
  bool Read(const std::string& path, std::size_t limit, std::string& content) override;
  bool Exists(const std::string& path) override;
  bool Replace(const std::string& path, std::string_view content) override;
  bool CreateNew(const std::string& path, std::string_view content) override;
  bool MakeFolder(const std::string& path) override;
  // Replace, except where the folder takes no new file (the temporary file cannot be made there)
  // while the file itself may be written: an existing file is then written over in place. For the
  // program's own KV720.ini, where a setting kept matters more than the all-or-nothing step.
  bool ReplaceOrRewrite(const std::string& path, std::string_view content);
  // Adds `content` at the end of the file, made when missing (the fault log). Another program may
  // be reading the file meanwhile.
  bool Append(const std::string& path, std::string_view content);

  // Waits between two tries of a held file (sleeps; tests release a hold here).
  std::function<void(int milliseconds)> pauseWhileHeld = SleepMilliseconds;
  static void SleepMilliseconds(int milliseconds);
};

// The program's text files (KV720.ini, KV720.log) end their lines as the platform does: CR LF on
// Windows, where Notepad and the fitter expect it; the text itself is written with '\n'.
std::string WithPlatformLineEnds(std::string_view text);

}  // namespace kv
