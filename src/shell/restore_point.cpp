#include "shell/restore_point.h"

#include <cstdio>
#include <filesystem>

#include "link/parameters.h"
#include "shell/settings_file.h"

namespace kv {
namespace {

bool IsLetterOrDigit(std::uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The folder and its parents; false when it cannot be made. A path that is not valid UTF-8 makes
// std::filesystem throw on Windows: it is a folder that cannot be made, nothing more.
bool MakeFolder(const std::string& folder) {
  try {
    namespace fs = std::filesystem;
    const fs::path path(std::u8string(folder.begin(), folder.end()));
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
  } catch (...) {
    return false;
  }
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  // A Windows folder written with backslashes goes on with one.
  return folder + (folder.find('\\') != std::string::npos ? "\\" : "/") + name;
}

}  // namespace

const char* RestoreReasonName(RestoreReason reason) {
  return reason == RestoreReason::BeforeLoad ? "before-load" : "before-reset";
}

std::string RestorePointName(const MemoryImage& image, RestoreReason reason, const RestoreTime& t) {
  std::string car;
  for (std::size_t i = 0; i < kRegistrationLength; ++i) {
    const std::uint8_t c = Get(image, RegistrationParam(i));
    if (c == 0) break;
    if (IsLetterOrDigit(c)) car += static_cast<char>(c);
  }
  if (car.empty()) car = "no-registration";
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "_%04d-%02d-%02d_%02d%02d%02d_", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return car + stamp + RestoreReasonName(reason) + ".bs2";
}

std::string RestorePointText(const MemoryImage& image, RestoreReason reason, const RestoreTime& t,
                             const RestorePointFacts& facts) {
  char taken[64];
  std::snprintf(taken, sizeof taken, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return Bs2Text(Bs2ValuesFromImage(image)) + "; KV720 restore point\n" + "; reason: " +
         RestoreReasonName(reason) + "\n; taken: " + taken + "\n; controller version: " +
         facts.version + "\n; registration: " + facts.registration + "\n; hours on gas: " +
         facts.runningTime + "\n; installation date: " + facts.installationDate + "\n";
}

std::string WriteRestorePoint(FileStore& files, const std::string& folder, const MemoryImage& image,
                              RestoreReason reason, const RestoreTime& time,
                              const RestorePointFacts& facts) {
  if (!MakeFolder(folder)) return {};
  const std::string name = RestorePointName(image, reason, time);
  std::string path = Joined(folder, name);
  // A second restore point in the same second must not replace the first: that one holds the
  // car as it was before either operation.
  for (int n = 2; files.Exists(path); ++n) {
    if (n > 999) return {};
    path = Joined(folder, name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".bs2");
  }
  return files.Replace(path, RestorePointText(image, reason, time, facts)) ? path : std::string();
}

}  // namespace kv
