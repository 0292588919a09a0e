#include "files/settings_file_commands.h"

#include "files/language.h"
#include "link/link.h"

namespace kv {

std::string FileMessageCaption(const FileMessage& message, const LanguageTexts& texts) {
  return message.caption == kIoErrorCaption ? std::string("I/O Error") : texts[message.caption];
}

FileMessage RestorePointMessage(KeepResult result) {
  return result == KeepResult::CannotWrite ? kRestorePointNotWrittenMessage : kNotSavedMessage;
}

std::string PartWrittenDetail(const LanguageTexts& texts, std::size_t confirmed,
                              std::size_t total, const std::string& restorePoint) {
  std::string detail = texts[kWritesConfirmedText] + " " + std::to_string(confirmed) + " / " +
                       std::to_string(total);
  if (!restorePoint.empty()) detail += "\n" + texts[kRestorePointKeptText] + "\n" + restorePoint;
  return detail;
}

std::string FoldersTriedDetail(const LanguageTexts& texts, const std::vector<std::string>& folders) {
  std::string detail = texts[kFoldersTriedText];
  for (const std::string& folder : folders) detail += "\n" + folder;
  return detail;
}

std::string FileMessageText(const FileMessage& message, const LanguageTexts& texts,
                            const std::string& detail) {
  return detail.empty() ? texts[message.text] : texts[message.text] + "\n\n" + detail;
}

SaveResult SaveControllerSettings(Link& link, FileStore& files, const std::string& path) {
  bool accepted = ReadBlocks(link, Blocks({2, 3, 4}));
  if (!IsVersion3(link.image)) return SaveResult::NoAnswer;
  accepted = ReadBlock(link, 5) && accepted;
  // A block whose reply was refused still holds older values: such a file would mix moments.
  if (!accepted) return SaveResult::NoAnswer;
  if (!files.Replace(path, Bs2Text(Bs2ValuesFromImage(link.image)))) return SaveResult::CannotWrite;
  return SaveResult::Saved;
}

OpenResult LoadControllerSettings(Link& link, FileStore& files, const std::string& path,
                                  const RestorePoints& points, LoadReport* report) {
  LoadReport ignored;
  LoadReport& out = report ? *report : ignored;
  std::string text;
  if (!files.Read(path, kBs2ReadLimit, text)) return OpenResult::CannotRead;
  Bs2Values values{};
  // At another version nothing will be sent, so the file is not looked at.
  if (IsVersion3(link.image)) {
    const Bs2Content content = ParseBs2(text);
    if (!content.valid) return OpenResult::Mismatch;
    values = content.values;
    switch (KeepRestorePoint(link, points, RestoreReason::BeforeLoad, &out.restorePoint)) {
      case KeepResult::Kept: break;
      case KeepResult::NoAnswer: return OpenResult::NoRestorePointAnswer;
      case KeepResult::CannotWrite: return OpenResult::RestorePointNotWritten;
    }
  }
  out.confirmed = WriteSettings(link, values);
  return out.confirmed == kSettingsCount ? OpenResult::Loaded : OpenResult::WriteFailed;
}

std::size_t WriteSettings(Link& link, const Bs2Values& values,
                          const std::function<void(std::size_t written)>& beforeEach) {
  for (std::size_t k = 0; k < kSettingsCount; ++k) {
    if (beforeEach) beforeEach(k);
    const std::uint8_t value = values[k];
    // The controller echoes the value in ack byte 1: a wrong echo is a wrong byte in the car.
    if (WriteParameter(link, static_cast<Param>(k), value) < 3 || link.lastAck[1] != value)
      return k;
  }
  return kSettingsCount;
}

SaveResult SaveSettingsFileAs(Link& link, FileStore& files, SettingsFileUi& ui) {
  std::string path;
  // No to the overwrite question shows the dialog again.
  do {
    if (!ui.ChooseSavePath(path)) return SaveResult::Cancelled;
  } while (files.Exists(path) && !ui.ConfirmOverwrite());
  const SaveResult result = SaveControllerSettings(link, files, path);
  if (result == SaveResult::NoAnswer) ui.Show(kNotSavedMessage, {});
  if (result == SaveResult::CannotWrite) ui.Show(kCannotWriteMessage, {});
  return result;
}

OpenResult OpenSettingsFile(Link& link, FileStore& files, SettingsFileUi& ui,
                            const RestorePoints& points, const LanguageTexts& texts) {
  std::string path;
  if (!ui.ChooseOpenPath(path)) return OpenResult::Cancelled;
  LoadReport report;
  const OpenResult result = LoadControllerSettings(link, files, path, points, &report);
  switch (result) {
    case OpenResult::CannotRead: ui.Show(kCannotReadMessage, {}); break;
    case OpenResult::Mismatch: ui.Show(kMismatchMessage, {}); break;
    case OpenResult::WriteFailed:
      // Without a restore point nothing was written (the controller is not at version 3).
      ui.Show(kWriteFailedMessage,
              report.restorePoint.empty()
                  ? std::string()
                  : PartWrittenDetail(texts, report.confirmed, kSettingsCount, report.restorePoint));
      break;
    case OpenResult::NoRestorePointAnswer:
      ui.Show(RestorePointMessage(KeepResult::NoAnswer), {});
      break;
    case OpenResult::RestorePointNotWritten:
      ui.Show(RestorePointMessage(KeepResult::CannotWrite),
              FoldersTriedDetail(texts, RestorePointFolders(points)));
      break;
    case OpenResult::Cancelled:
    case OpenResult::Loaded: break;
  }
  return result;
}

}  // namespace kv
