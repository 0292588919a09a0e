// save, load and diff: the settings file (.bs2) against the controller and against another file,
// through the window program's own format, reader and write sequence.
#include <algorithm>

#include "changes.h"
#include "commands.h"
#include "controller.h"
#include "decode.h"
#include "english_texts.h"
#include "files/restore_point.h"
#include "files/settings_file.h"
#include "files/settings_file_commands.h"

namespace kv::cli {
namespace {

// Reads and checks a settings file as File > Open does. Returns kExitOk with the values, or the
// printed error: kExitFile when it cannot be read, kExitMismatch when it is no settings file.
int ReadSettingsFile(Context& c, const std::string& path, Bs2Values& values) {
  std::string text;
  if (!c.platform.Files().Read(path, kBs2ReadLimit, text)) return Fail(c, kExitFile, "cannot read " + path);
  const Bs2Content content = ParseBs2(text);
  if (!content.valid) {
    const auto& expected = Bs2ExpectedTexts();
    const std::size_t line = static_cast<std::size_t>(content.badLine);
    std::string where = "line " + std::to_string(line);
    if (line >= 1 && line <= expected.size()) {
      where += " should be \"" + expected[line - 1];
      where += line > kBs2HeaderCount ? " <0..255>\"" : "\"";
    }
    return Fail(c, kExitMismatch, path + " is not a KV720 settings file (" + where + ")");
  }
  values = content.values;
  return kExitOk;
}

MemoryImage ImageOf(const Bs2Values& values) {
  std::uint8_t settings[kSettingsCount];
  for (std::size_t k = 0; k < kSettingsCount; ++k) settings[k] = values[k];
  return ImageOfSettings(settings);
}

void PrintChanges(Context& c, const MemoryImage& from, const MemoryImage& to, const std::string& what) {
  const auto lines = ChangeLines(from, to, EnglishTexts());
  if (lines.empty()) {
    c.out << "No differences: " << what << " hold the same 32 settings.\n";
    return;
  }
  for (const auto& line : lines) c.out << line << "\n";
}

RestoreTime Stamp(const LocalTime& t) { return {t.year, t.month, t.day, t.hour, t.minute, t.second}; }

std::string BackupFolder(const Context& c) {
  return c.args.backups.empty() ? c.platform.DefaultBackupFolder() : c.args.backups;
}

// The restore point of the car as it is now, through the window program's own steps (Blocks 2
// to 5 read again, every reply accepted at version 3, then the point written). A missed read is
// tried again with all four. Returns kExitOk with its path, or the printed error.
int KeepRestorePoint(Context& c, Link& link, std::string& path) {
  const RestorePoints points{c.platform.Files(), BackupFolder(c),
                             [&c] { return Stamp(c.platform.Now()); }, CodePage::Windows1250};
  KeepResult kept = KeepResult::NoAnswer;
  for (int attempt = 0; attempt < kAttempts && kept == KeepResult::NoAnswer; ++attempt)
    kept = kv::KeepRestorePoint(link, points, RestoreReason::BeforeLoad, &path);
  if (kept == KeepResult::NoAnswer)
    return Fail(c, kExitNoAnswer, "the controller did not answer the reads of the restore point; "
                                  "nothing was sent to it");
  if (kept == KeepResult::CannotWrite)
    return Fail(c, kExitFile, "a restore point could not be written in " + BackupFolder(c) +
                                  " (--backups FOLDER chooses another); nothing was sent to the "
                                  "controller");
  return kExitOk;
}

int ReportWriteFailure(Context& c, const Link& link, const Bs2Values& values, std::size_t written,
                       const std::string& restorePoint) {
  const ParameterRow& row = kParameters[written];
  std::string what = "write " + std::to_string(written + 1) + " of 32 (" + std::string(row.name) +
                     " = " + std::to_string(values[written]) + ")";
  what += link.lastTransferCount < 3
              ? " was not acknowledged"
              : " was echoed as " + std::to_string(link.lastAck[1]) + " instead";
  return Fail(c, kExitWriteFailed,
              what + "; " + std::to_string(written) +
                  " of the 32 writes went out confirmed before it, and those values stay written. "
                  "The car's previous settings are in " + restorePoint +
                  " (kv720-cli load of that file brings them back)");
}

// The 32 writes, to be run with interrupts held: one that comes meanwhile is said once and
// honoured only after the last write. Returns how many were written.
std::size_t WriteHeld(Context& c, Link& link, const Bs2Values& values) {
  bool told = false;
  return WriteSettings(link, values, [&](std::size_t written) {
    if (told || !c.platform.Interrupted()) return;
    told = true;
    c.err << "kv720-cli: finishing the writes: " << written << " of " << kSettingsCount << "\n"
          << std::flush;
  });
}

}  // namespace

int RunSave(Context& c) {
  const std::string& path = c.args.files[0];
  Link link;
  if (int code = Connect(c, link); code != kExitOk) return code;
  SaveResult result = SaveResult::NoAnswer;
  // All four blocks are read again at each try, so the file never mixes moments.
  for (int attempt = 0; attempt < kAttempts && result == SaveResult::NoAnswer; ++attempt) {
    if (c.platform.Interrupted()) return kExitInterrupted;
    result = SaveControllerSettings(link, c.platform.Files(), path);
  }
  if (result == SaveResult::NoAnswer)
    return Fail(c, kExitNoAnswer,
                "the controller did not answer every read; " + path + " was not written");
  if (result == SaveResult::CannotWrite)
    return Fail(c, kExitFile, "cannot write " + path + "; nothing changed on the disk");
  c.out << "Saved the settings of " << Registration(link.image) << " (controller version "
        << ControllerVersion(link.image) << ") to " << path << "\n";
  return kExitOk;
}

int RunLoad(Context& c) {
  const std::string& path = c.args.files[0];
  Bs2Values values{};
  int code = ReadSettingsFile(c, path, values);
  Link link;
  if (code == kExitOk) code = Connect(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {2, 3, 4, 5});
  if (code != kExitOk) return code;

  c.out << "Controller on " << c.args.port << " -> " << path << ":\n";
  PrintChanges(c, link.image, ImageOf(values), "the controller and the file");
  if (c.args.dryRun) {
    c.out << "Dry run: nothing was written.\n";
    return kExitOk;
  }
  if (c.platform.Interrupted()) return kExitInterrupted;
  std::string restorePoint;
  if (int kept = KeepRestorePoint(c, link, restorePoint); kept != kExitOk) return kept;
  c.out << "Restore point: " << restorePoint << "\n" << std::flush;
  // From here to the end, Ctrl+C, a closed console or a signal only ends the command after the
  // last write: a half-loaded car is what they must not leave behind.
  const InterruptHold hold(c.platform);
  if (c.platform.Interrupted()) return Fail(c, kExitInterrupted, "interrupted; nothing was written");
  const std::size_t written = WriteHeld(c, link, values);
  if (written < kSettingsCount) return ReportWriteFailure(c, link, values, written, restorePoint);
  c.out << "Loaded the 32 settings of " << path << " into the controller.\n";
  return c.platform.Interrupted() ? kExitInterrupted : kExitOk;
}

int RunDiff(Context& c) {
  Bs2Values a{}, b{};
  int code = ReadSettingsFile(c, c.args.files[0], a);
  if (code == kExitOk) code = ReadSettingsFile(c, c.args.files[1], b);
  if (code != kExitOk) return code;
  c.out << c.args.files[0] << " -> " << c.args.files[1] << ":\n";
  PrintChanges(c, ImageOf(a), ImageOf(b), "both files");
  const bool same = std::equal(a.begin(), a.begin() + kSettingsCount, b.begin());
  return same ? kExitOk : kExitDifferent;
}

}  // namespace kv::cli
