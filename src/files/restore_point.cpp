#include "files/restore_point.h"

#include <cstdio>

#include "files/settings_file.h"
#include "link/link.h"
#include "link/parameters.h"
#include "link/value_texts.h"

namespace kv {
namespace {

bool IsLetterOrDigit(std::uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  // A Windows folder written with backslashes goes on with one.
  return folder + (folder.find('\\') != std::string::npos ? "\\" : "/") + name;
}

}  // namespace

RestorePointFacts RestorePointFactsOf(const MemoryImage& image, CodePage registrationPage) {
  std::string registration = RegistrationText(image, registrationPage);
  for (char& c : registration)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return {ControllerVersionText(Version(image), Revision(image)), registration,
          RunningTimeText(image), InstallationDateText(image)};
}

const char* RestoreReasonName(RestoreReason reason) {
  return reason == RestoreReason::BeforeLoad ? "before-load" : "before-reset";
}

std::string CarAndTimeName(const MemoryImage& image, const RestoreTime& t) {
  std::string car;
  for (std::size_t i = 0; i < kRegistrationLength; ++i) {
    const std::uint8_t c = Get(image, RegistrationParam(i));
    if (c == 0) break;
    if (IsLetterOrDigit(c)) car += static_cast<char>(c);
  }
  if (car.empty()) car = "no-registration";
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "_%04d-%02d-%02d_%02d%02d%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return car + stamp;
}

std::string RestorePointName(const MemoryImage& image, RestoreReason reason, const RestoreTime& t) {
  return CarAndTimeName(image, t) + "_" + RestoreReasonName(reason) + ".bs2";
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
  if (!files.MakeFolder(folder)) return {};
  const std::string name = RestorePointName(image, reason, time);
  const std::string text = RestorePointText(image, reason, time, facts);
  // A second restore point in the same second must not replace the first: that one holds the
  // car as it was before either operation. A name that is taken moves on to the next.
  std::string path = Joined(folder, name);
  for (int n = 2; n <= 999; ++n) {
    if (files.CreateNew(path, text)) return path;
    if (!files.Exists(path)) return {};  // the disk refused it
    path = Joined(folder, name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".bs2");
  }
  return {};
}

std::vector<std::string> RestorePointFolders(const RestorePoints& points) {
  std::vector<std::string> folders{points.folder};
  if (!points.fallback.empty() && points.fallback != points.folder)
    folders.push_back(points.fallback);
  return folders;
}

std::string ParentFolder(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  const std::size_t slash = folder.find_last_of("/\\");
  if (slash == std::string::npos) return {};
  // A root keeps its separator: C:\ and / name a folder, C: does not.
  if (slash == 0 || folder[slash - 1] == ':') return folder.substr(0, slash + 1);
  return folder.substr(0, slash);
}

std::string RestorePointsHome(const RestorePoints& points) {
  const bool fallbackInUse = !points.fallback.empty() && !points.files.Exists(points.folder) &&
                             points.files.Exists(points.fallback);
  return ParentFolder(fallbackInUse ? points.fallback : points.folder);
}

KeepResult KeepRestorePoint(Link& link, const RestorePoints& points, RestoreReason reason,
                            std::string* path) {
  const bool accepted = ReadBlocks(link, Blocks({2, 3, 4, 5}));
  // A refused reply leaves older bytes in its block: such a point would not hold the car as it is.
  if (!accepted || !IsVersion3(link.image)) return KeepResult::NoAnswer;
  const RestoreTime time = points.now();
  const RestorePointFacts facts = RestorePointFactsOf(link.image, points.registrationPage);
  for (const std::string& folder : RestorePointFolders(points)) {
    const std::string written =
        WriteRestorePoint(points.files, folder, link.image, reason, time, facts);
    if (written.empty()) continue;
    if (path) *path = written;
    return KeepResult::Kept;
  }
  return KeepResult::CannotWrite;
}

}  // namespace kv
