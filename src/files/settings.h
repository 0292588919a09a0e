// The program settings file "KV720.ini" in the start directory: the serial port and the language
// between runs. Also the start directory itself, against which every file of the program is found
// (a file dialog may move the current directory elsewhere).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::size_t kLanguageCodeMax = 63;
inline constexpr const char* kSettingsFileName = "KV720.ini";
inline constexpr const char* kDefaultLanguage = "pol";

// The run's file settings, held in the Program.
struct ProgramSettings {
  std::string startDirectory;      // current directory at start-up; every file access uses it
  std::string userFolder;          // the per-user folder (%LOCALAPPDATA%\KV720); empty if unknown
  bool temporaryStart = false;     // started from a temporary folder (inside a zip)
  std::string languageCode = "pol";
  int storedPort = 1;              // 1..4, written back to KV720.ini
  bool saveFailed = false;         // the last write of KV720.ini failed
  bool saveFailureTold = false;    // the user was told so (once a run)
};

// What the file holds. The port is kept as read (the caller maps numbers outside 1..4 to COM1).
struct SettingsFileValues {
  int port = 1;
  std::string languageCode = kDefaultLanguage;
};

// Reads the file's text the way it was always read: a token (the section, ignored); a token (the
// key, ignored) and a decimal integer; a token and the language code. Only positions count, any
// whitespace separates. Every read is bounded: a value that cannot be read, an over-long code or
// a number out of range leaves the default of that value.
SettingsFileValues ParseSettingsFile(std::string_view content);
// The file's three lines for a port number and a code.
std::string FormatSettingsFile(int port, std::string_view languageCode);

// None of the file functions below throws, whatever bytes a path holds: a part that is not UTF-8
// has its stray bytes replaced (so it names a file that is not there), and any other failure
// reads as a file that cannot be opened.

// The process's current directory (UTF-8), recorded once at start-up; "." when it cannot be read.
std::string CurrentDirectory() noexcept;
// The start directory: the current one, unless it holds neither KV720.ini nor a Lang folder and
// the program's own folder holds either. Started from the Start menu's search, Win+R or a
// shortcut without a working folder, the current directory is some system folder, where the
// texts would not be found and KV720.ini would be written.
std::string ChooseStartDirectory(const std::string& current,
                                 const std::string& programFolder) noexcept;
// Whether `path` is `folder` or lies inside it, compared as Windows compares paths: '/' and '\\'
// alike, ASCII letters of either case alike, a trailing separator or none.
bool IsInsideFolder(std::string_view path, std::string_view folder) noexcept;
// A start from inside a zip: Explorer copies the program alone (without its Lang folder) into a
// temporary folder and starts it there, and Windows deletes that folder later, with KV720.ini and
// any restore point in it. Both signs are needed: a start directory inside the user's temporary
// folder, and no Lang folder beside the program.
bool StartedFromTemporaryFolder(const std::string& startDirectory,
                                const std::string& temporaryFolder,
                                bool languageFolderBesideProgram) noexcept;
// A path under the start directory, from UTF-8 parts; empty (no file) when it cannot be built.
std::string PathInStartDirectory(const std::string& startDirectory,
                                 std::initializer_list<std::string_view> parts) noexcept;
// KV720.ini holds two short lines; a longer file is read as far as this.
inline constexpr std::size_t kSettingsFileLimit = 64 * 1024;
// Whether nothing stands at the path that a new settings file should not replace: true when
// nothing of that name exists, or something that is no file (a folder, where writing then fails
// and is told); false for a file, and when the path cannot be looked at.
bool NoFileAt(const std::string& path) noexcept;

// Reads "KV720.ini" of the start directory into `languageCode` and `storedPort` (1 when the file's
// number is outside 1..4) and returns the port number as read; a missing file is created with port
// 1 and "pol", which are then used. A file that is there but cannot be read now (held by another
// program, not readable for this user) is left as it is: the run goes on with the defaults.
int LoadSettings(ProgramSettings& settings);
// Rewrites the whole file from `storedPort` and `languageCode`. Returns whether it was written.
// The file is replaced in one step (a failure mid-write leaves it as it was); only where the
// folder takes no new file is it written over in place. Both note a failed write in `saveFailed`.
bool SaveSettings(ProgramSettings& settings);
// Whether to tell the user now that KV720.ini cannot be written (read-only, a folder in its
// place, a full disk): true once a run, after the first failed write.
bool TakeSaveFailureNotice(ProgramSettings& settings);

}  // namespace kv
