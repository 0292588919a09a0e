// The File menu's two settings-file commands. "Save As..." reads the settings fresh from the
// controller and only then writes the file, in one step, so an existing file is never lost;
// "Open..." checks the whole file before anything is sent and then writes its 32 values in file
// order, each acknowledged with its value echoed. Both run inside the menu command: once the
// dialog is closed, their exchanges follow each other with no poll in between.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/file_store.h"
#include "files/restore_point.h"
#include "files/settings_file.h"

namespace kv {

struct Link;
struct LanguageTexts;

// A message box of the commands: texts by language text number; every one is OK, exclamation.
inline constexpr int kIoErrorCaption = -1;  // the fixed caption "I/O Error"
struct FileMessage {
  int caption;  // language text number, or kIoErrorCaption
  int text;
  bool operator==(const FileMessage&) const = default;
};
inline constexpr FileMessage kCannotReadMessage{kIoErrorCaption, 167};
inline constexpr FileMessage kCannotWriteMessage{kIoErrorCaption, 167};
inline constexpr FileMessage kMismatchMessage{169, 168};
inline constexpr FileMessage kWriteFailedMessage{170, 171};
inline constexpr FileMessage kNotSavedMessage{170, 174};
inline constexpr FileMessage kRestorePointNotWrittenMessage{kIoErrorCaption, 186};
inline constexpr FileMessage kPathTooLongMessage{kIoErrorCaption, 34};
// The overwrite question (Yes and No, information icon) and the dialog titles.
inline constexpr FileMessage kOverwriteQuestion{172, 173};
inline constexpr int kOpenDialogTitle = 165, kSaveDialogTitle = 166;

std::string FileMessageCaption(const FileMessage& message, const LanguageTexts& texts);
// Why an operation guarded by a restore point did not start (for a result other than Kept): the
// controller did not answer, or the disk refused the restore point.
FileMessage RestorePointMessage(KeepResult result);

// The lines a message shows below its text, in the language's texts. After a load or a reset
// that stopped part-way: how many writes the controller confirmed and the restore point that
// brings the car back (its full path). For a restore point that could not be written: the
// folders tried.
inline constexpr int kWritesConfirmedText = 140, kRestorePointKeptText = 141,
                     kFoldersTriedText = 164;
std::string PartWrittenDetail(const LanguageTexts& texts, std::size_t confirmed,
                              std::size_t total, const std::string& restorePoint);
std::string FoldersTriedDetail(const LanguageTexts& texts, const std::vector<std::string>& folders);
// A message's whole text: its language text, then the detail after an empty line.
std::string FileMessageText(const FileMessage& message, const LanguageTexts& texts,
                            const std::string& detail);

// What the commands need of the user interface.
class SettingsFileUi {
 public:
  virtual ~SettingsFileUi() = default;
  // The common save or open dialog; false when the user cancels. `path` gets the file chosen.
  virtual bool ChooseSavePath(std::string& path) = 0;
  virtual bool ChooseOpenPath(std::string& path) = 0;
  // The overwrite question; true for Yes.
  virtual bool ConfirmOverwrite() = 0;
  // `detail` (possibly empty) follows the message's text.
  virtual void Show(const FileMessage& message, const std::string& detail) = 0;
};

enum class SaveResult { Cancelled, Saved, NoAnswer, CannotWrite };
enum class OpenResult {
  Cancelled, Loaded, CannotRead, Mismatch, WriteFailed,
  NoRestorePointAnswer, RestorePointNotWritten,  // nothing was sent
};

// Reads Blocks 2, 3 and 4 and, at version 3, Block 5 (the requests the controller has always
// seen for a save); writes the file only when the version is 3 and all four replies were
// accepted. Otherwise nothing on the disk changes.
SaveResult SaveControllerSettings(Link& link, FileStore& files, const std::string& path);
// Reads and checks the file, keeps a restore point of the car (nothing is sent when it cannot),
// then writes the 32 settings to write addresses 5..29 and 31..37 in file order. A write counts
// only when 3 acknowledgement bytes came back and byte 1 echoes the value; the first that does
// not stops the load (the values before it stay written). At another version than 3 the file is
// not checked and nothing is sent: the first write fails. `report`, when given, gets how many
// writes were confirmed and the restore point's path.
struct LoadReport {
  std::size_t confirmed = 0;
  std::string restorePoint;  // empty when none was kept
};
OpenResult LoadControllerSettings(Link& link, FileStore& files, const std::string& path,
                                  const RestorePoints& points, LoadReport* report = nullptr);

// Writes the 32 settings to write addresses 5..29 and 31..37 in file order, each acknowledged
// with its value echoed, and stops at the first that is not. Returns how many were written
// (kSettingsCount when all were); link.lastAck then holds the failing write's acknowledgement.
// `beforeEach`, when given, hears how many have been written before each write goes out.
std::size_t WriteSettings(Link& link, const Bs2Values& values,
                          const std::function<void(std::size_t written)>& beforeEach = {});

// The menu commands: dialog, question, the work above and its message.
SaveResult SaveSettingsFileAs(Link& link, FileStore& files, SettingsFileUi& ui);
// Open's messages take their details from `texts`.
OpenResult OpenSettingsFile(Link& link, FileStore& files, SettingsFileUi& ui,
                            const RestorePoints& points, const LanguageTexts& texts);

}  // namespace kv
