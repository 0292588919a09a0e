// Restore points: before a load or a factory reset rewrites a car's settings, the settings it
// held are kept in a settings file of the exact Save As format, so File > Open (here or in any
// other installation) brings the car back. After the "NULL= 0" line the file carries comment
// lines, which every reader skips since it stops after the 36th token and its value. Restore
// points are never deleted; two taken in the same second get distinct names.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/code_page.h"
#include "files/file_store.h"
#include "link/memory_image.h"

namespace kv {

struct Link;

enum class RestoreReason { BeforeLoad, BeforeReset };

struct RestoreTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;  // local time
};

// What the comment lines say about the car, as the information panel shows it.
struct RestorePointFacts {
  std::string version;           // "3.05"
  std::string registration;      // "KR720SM"
  std::string runningTime;       // "1234h25'"
  std::string installationDate;  // "2019-05-14"
};

// The service record of the image as the information panel shows it; the registration in the
// given code page (control characters, which would break the comment line, shown as '?').
RestorePointFacts RestorePointFactsOf(const MemoryImage& image, CodePage registrationPage);

// "before-load" or "before-reset".
const char* RestoreReasonName(RestoreReason reason);

// "<registration>_<YYYY-MM-DD>_<HHMMSS>": the registration of Block 5 bytes 13..19 (up to the
// first zero) reduced to ASCII letters and digits, "no-registration" when nothing is left. The
// start of the names of restore points and road recordings.
std::string CarAndTimeName(const MemoryImage& image, const RestoreTime& time);

// "<registration>_<YYYY-MM-DD>_<HHMMSS>_<reason>.bs2".
std::string RestorePointName(const MemoryImage& image, RestoreReason reason, const RestoreTime& time);

// The Save As text of the image's settings, then the comment lines.
std::string RestorePointText(const MemoryImage& image, RestoreReason reason,
                             const RestoreTime& time, const RestorePointFacts& facts);

// Writes the restore point into `folder` (created when missing) in one step, under its name or,
// when a file of that name exists, with "_2", "_3", ... before ".bs2". Returns its path (UTF-8),
// or an empty text when it could not be written; then nothing may be sent to the controller.
std::string WriteRestorePoint(FileStore& files, const std::string& folder,
                              const MemoryImage& image, RestoreReason reason,
                              const RestoreTime& time, const RestorePointFacts& facts);

// Where and how this run keeps its restore points: the window program keeps them in Backups in
// its start directory, at the computer's local time, and in the per-user folder when that one
// refuses them (a start directory under Program Files) or would be deleted (a temporary folder).
struct RestorePoints {
  FileStore& files;
  std::string folder;          // UTF-8; made when missing
  std::function<RestoreTime()> now;  // the local time at the moment a point is taken
  CodePage registrationPage;   // the registration's code page, for its comment line
  std::string fallback = {};   // tried when `folder` refuses the point; empty: none
};

// The folders a point is tried in, in order (one or two).
std::vector<std::string> RestorePointFolders(const RestorePoints& points);
// The folder that holds the restore points' folder now in use: the fallback's parent once the
// fallback exists and the first folder does not, else the first one's parent. File > Open starts
// there.
std::string RestorePointsHome(const RestorePoints& points);
// The folder a path lies in, without its last separator ("C:\KV720\Backups" gives "C:\KV720",
// "C:\Backups" gives "C:\"); empty for a bare name.
std::string ParentFolder(const std::string& path);

enum class KeepResult {
  Kept,
  NoAnswer,     // a read was not accepted, or the controller is not version 3
  CannotWrite,  // the disk refused the folder or the file
};

// Before a load or a factory reset: reads Blocks 2, 3, 4 and 5 (all four requests are sent) and,
// only when every reply was accepted at version 3, writes the restore point of the car as just
// read, in the first of the folders that takes it. Sends nothing else; anything but Kept means
// the operation must not start. `path` gets the restore point's path when it was kept.
KeepResult KeepRestorePoint(Link& link, const RestorePoints& points, RestoreReason reason,
                            std::string* path = nullptr);

}  // namespace kv
