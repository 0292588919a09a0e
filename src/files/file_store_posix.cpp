#include "files/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "files/held_file.h"

namespace kv {
namespace {

using Pause = std::function<void(int)>;

// The nearest POSIX has to a file held by another program: busy.
FileStep StepResult(int result) {
  if (result == 0) return FileStep::Done;
  return errno == EBUSY || errno == ETXTBSY ? FileStep::Held : FileStep::Failed;
}

bool RenameHeld(const std::string& from, const std::string& to, const Pause& pause) {
  return RetryWhileHeld([&] { return StepResult(rename(from.c_str(), to.c_str())); }, pause);
}

bool UnlinkHeld(const std::string& path, const Pause& pause) {
  return RetryWhileHeld([&] { return StepResult(unlink(path.c_str())); }, pause);
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The mode a newly created file gets: the target's when it exists, else 0666 less the umask.
mode_t ModeFor(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

enum class Temporary { Written, NotMade, Failed };

// Writes the content to a new temporary file beside `path`, flushed to the disk; `temp` gets its
// name. NotMade when the folder takes no new file; a full disk is a failure, so that no file is
// then cut short to be written in place. Nothing is left behind when it fails.
Temporary WriteTemporary(const std::string& path, std::string_view content, std::string& temp,
                         const Pause& pause) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return errno == ENOSPC || errno == EDQUOT ? Temporary::Failed : Temporary::NotMade;
  bool ok = fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  temp = name.data();
  if (!ok) UnlinkHeld(temp, pause);
  return ok ? Temporary::Written : Temporary::Failed;
}

// Opens, writes and closes; `flags` say how the file is opened for writing.
bool WriteThrough(const std::string& path, int flags, std::string_view content, bool flush) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content) && (!flush || fsync(fd) == 0);
  return close(fd) == 0 && ok;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PutInPlace(const std::string& path, std::string_view content, bool rewriteInPlace,
                 const Pause& pause) {
  std::string temp;
  switch (WriteTemporary(path, content, temp, pause)) {
    case Temporary::NotMade:
      return rewriteInPlace && IsRegularFile(path) &&
             WriteThrough(path, O_TRUNC, content, /*flush=*/true);
    case Temporary::Failed:
      return false;
    case Temporary::Written:
      break;
  }
  const bool ok = RenameHeld(temp, path, pause);
  if (!ok) UnlinkHeld(temp, pause);
  return ok;
}

}  // namespace

bool SystemFileStore::Read(const std::string& path, std::size_t limit, std::string& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  content.clear();
  char buffer[4096];
  bool ok = true;
  while (content.size() < limit) {
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, limit - content.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return ok;
}

bool SystemFileStore::Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool SystemFileStore::Replace(const std::string& path, std::string_view content) {
  return PutInPlace(path, content, /*rewriteInPlace=*/false, pauseWhileHeld);
}

bool SystemFileStore::ReplaceOrRewrite(const std::string& path, std::string_view content) {
  return PutInPlace(path, content, /*rewriteInPlace=*/true, pauseWhileHeld);
}

bool SystemFileStore::Append(const std::string& path, std::string_view content) {
  return WriteThrough(path, O_APPEND | O_CREAT, content, /*flush=*/false);
}

bool SystemFileStore::CreateNew(const std::string& path, std::string_view content) {
  std::string temp;
  if (WriteTemporary(path, content, temp, pauseWhileHeld) != Temporary::Written) return false;
  // link(2) puts the file in place only while the name is free. A file system without hard
  // links (a FAT stick) refuses it; a rename after a last look is then the nearest there is.
  int linkError = 0;
  const bool ok = RetryWhileHeld([&] {
    const FileStep step = StepResult(link(temp.c_str(), path.c_str()));
    linkError = errno;
    return step;
  }, pauseWhileHeld);
  const bool linkRefused = !ok && linkError != EEXIST;
  if (linkRefused && !Exists(path) && rename(temp.c_str(), path.c_str()) == 0) return true;
  UnlinkHeld(temp, pauseWhileHeld);
  return ok;
}

void SystemFileStore::SleepMilliseconds(int milliseconds) {
  timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

bool SystemFileStore::MakeFolder(const std::string& path) {
  // Each parent in turn, as mkdir -p does; a part that exists or cannot be made is passed over,
  // the folder itself decides.
  for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
    const std::string part = path.substr(0, at);
    if (!part.empty()) mkdir(part.c_str(), 0777);
    if (at == std::string::npos) break;
  }
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithPlatformLineEnds(std::string_view text) { return std::string(text); }

}  // namespace kv
