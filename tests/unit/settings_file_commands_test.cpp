// Save As and Open against a scripted controller on the fake port, a fake folder and a fake
// user: what goes on the wire, what lands on the disk, which message is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_file_store.h"
#include "fake_port.h"
#include "files/language.h"
#include "files/settings_file_commands.h"
#include "link/link.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using testing::FakeFileStore;
using testing::FakePort;
using testing::ScriptedController;

// The user: the paths to pick in each dialog shown (nullopt cancels), the overwrite answers.
class FakeUser final : public SettingsFileUi {
 public:
  std::deque<std::optional<std::string>> picks;
  std::deque<bool> overwriteAnswers;
  int saveDialogs = 0, openDialogs = 0, questions = 0;
  std::vector<FileMessage> shown;
  std::vector<std::string> details;  // what each message showed below its text

  bool ChooseSavePath(std::string& path) override { return ++saveDialogs, Pick(path); }
  bool ChooseOpenPath(std::string& path) override { return ++openDialogs, Pick(path); }
  bool ConfirmOverwrite() override {
    ++questions;
    const bool yes = !overwriteAnswers.empty() && overwriteAnswers.front();
    if (!overwriteAnswers.empty()) overwriteAnswers.pop_front();
    return yes;
  }
  void Show(const FileMessage& message, const std::string& detail) override {
    shown.push_back(message);
    details.push_back(detail);
  }

 private:
  bool Pick(std::string& path) {
    if (picks.empty() || !picks.front()) return false;
    path = *picks.front();
    picks.pop_front();
    return true;
  }
};

using namespace std::string_literals;
const std::string kOld = "the fitter's old file\r\nkept byte for byte\x00\xFF"s;

struct Bs2Commands : ::testing::Test {
  FakePort port;
  Link link;
  ScriptedController controller;
  FakeFileStore files;
  FakeUser user;
  RestorePoints points{files, "Backups", [] { return RestoreTime{2024, 5, 1, 9, 3, 7}; },
                       CodePage::Windows1250};
  LanguageTexts texts = Texts();

  static LanguageTexts Texts() {
    LanguageTexts t;
    t.text[kWritesConfirmedText] = "Confirmed:";
    t.text[kRestorePointKeptText] = "Restore point:";
    t.text[kFoldersTriedText] = "Tried:";
    return t;
  }

  void SetUp() override {
    link.port = &port;
    for (int n = 2; n <= kBlockCount; ++n)  // every byte a value of its own
      for (std::size_t i = 1; i < BlockLength(n) - 1; ++i)
        controller.memory[n][i] = static_cast<std::uint8_t>(n * 40 + i);
    port.responder = &ScriptedController::Respond;
    port.responderContext = &controller;
    Identify(link);
    ASSERT_FALSE(link.offline);
    port.ClearLog();
  }
  void GoOffline() {
    controller.answers = false;
    for (int i = 0; i < kMissesToOffline; ++i) Identify(link);
    ASSERT_TRUE(link.offline);
    port.ClearLog();
  }
  // The read requests sent (block numbers) and the writes sent (write address, value).
  std::vector<int> Requests() const { return port.Requests(); }
  std::vector<std::pair<int, int>> Writes() const { return port.Writes(); }
  SaveResult SaveTo(const std::string& path) {
    user.picks = {path};
    user.overwriteAnswers = {true};
    return SaveSettingsFileAs(link, files, user);
  }
  OpenResult Open(const std::string& text) {
    files.files["load.bs2"] = text;
    user.picks = {"load.bs2"};
    return OpenSettingsFile(link, files, user, points, texts);
  }
};

TEST_F(Bs2Commands, SaveAsReadsFourBlocksThenWritesEverySettingFromItsByte) {
  EXPECT_EQ(SaveResult::Saved, SaveTo("car.bs2"));
  EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Requests());
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(user.shown.empty());
  EXPECT_EQ(0, user.questions);
  const std::string& text = files.files["car.bs2"];
  const Bs2Content content = ParseBs2(text);
  ASSERT_TRUE(content.valid) << text;
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    EXPECT_EQ(controller.Get(static_cast<Param>(k)), content.values[k]) << Row(static_cast<Param>(k)).name;
  EXPECT_NE(std::string::npos, text.find("\nAttInit= 84\nTPSJump= 163\n"));  // Blocks 2 and 4
  EXPECT_NE(std::string::npos, text.find("\nZAM_OTW_BJ= 206\n"));           // Block 5
  EXPECT_NE(std::string::npos, text.find("\nWOZG= 128\nNULL= 0\n"));       // Block 3, always 0
  EXPECT_EQ(Bs2Text(content.values), text);
}

TEST_F(Bs2Commands, AnUnansweredBlockLeavesTheExistingFileByteIdentical) {
  for (int muted = 2; muted <= kBlockCount; ++muted) {
    SCOPED_TRACE(muted);
    files.files["car.bs2"] = kOld;
    user.shown.clear();
    port.ClearLog();
    controller.silentBlocks = {muted};
    EXPECT_EQ(SaveResult::NoAnswer, SaveTo("car.bs2"));
    EXPECT_EQ(kOld, files.files["car.bs2"]);
    EXPECT_EQ(0, files.writes);
    EXPECT_EQ(std::vector<FileMessage>{kNotSavedMessage}, user.shown);
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Requests());  // the same requests as ever
  }
}

TEST_F(Bs2Commands, SaveAsOfflineOrAtAnotherVersionWritesNothingAndSkipsBlock5) {
  controller.identity = 0x25;  // version 2
  Identify(link);
  port.ClearLog();
  files.files["car.bs2"] = kOld;
  EXPECT_EQ(SaveResult::NoAnswer, SaveTo("car.bs2"));
  EXPECT_EQ((std::vector<int>{2, 3, 4}), Requests());

  GoOffline();
  EXPECT_EQ(SaveResult::NoAnswer, SaveTo("new.bs2"));
  EXPECT_EQ((std::vector<int>{2, 3, 4}), Requests());
  EXPECT_EQ(kOld, files.files["car.bs2"]);
  EXPECT_EQ(0u, files.files.count("new.bs2"));
  EXPECT_EQ(0, files.writes);
  EXPECT_EQ((std::vector<FileMessage>{kNotSavedMessage, kNotSavedMessage}), user.shown);
}

TEST_F(Bs2Commands, AFileThatCannotBeReplacedIsAnIoError) {
  files.files["car.bs2"] = kOld;
  files.writesFail = true;
  EXPECT_EQ(SaveResult::CannotWrite, SaveTo("car.bs2"));
  EXPECT_EQ(kOld, files.files["car.bs2"]);
  EXPECT_EQ(std::vector<FileMessage>{kCannotWriteMessage}, user.shown);
  EXPECT_EQ("I/O Error", FileMessageCaption(kCannotWriteMessage, LanguageTexts{}));
}

TEST_F(Bs2Commands, NoToTheOverwriteQuestionShowsTheDialogAgainAndCancelEndsIt) {
  files.files["a.bs2"] = kOld;
  user.picks = {"a.bs2", "b.bs2"};
  user.overwriteAnswers = {false};
  EXPECT_EQ(SaveResult::Saved, SaveSettingsFileAs(link, files, user));
  EXPECT_EQ(2, user.saveDialogs);
  EXPECT_EQ(1, user.questions);
  EXPECT_EQ(kOld, files.files["a.bs2"]);
  EXPECT_TRUE(ParseBs2(files.files["b.bs2"]).valid);

  port.ClearLog();
  user.picks = {"a.bs2", std::nullopt};
  user.overwriteAnswers = {false};
  EXPECT_EQ(SaveResult::Cancelled, SaveSettingsFileAs(link, files, user));
  EXPECT_EQ(4, user.saveDialogs);
  EXPECT_EQ(kOld, files.files["a.bs2"]);
  EXPECT_TRUE(port.written.empty());  // nothing asked of the controller
  EXPECT_TRUE(user.shown.empty());
}

TEST_F(Bs2Commands, OpenWritesThe32ValuesInFileOrderEndingAtAddress37) {
  Bs2Values values{};
  for (std::size_t k = 0; k < kBs2ValueCount; ++k) values[k] = static_cast<std::uint8_t>(200 - k);
  EXPECT_EQ(OpenResult::Loaded, Open(Bs2Text(values)));
  std::vector<std::pair<int, int>> expected;
  for (int k = 0, address = 5; k < 32; ++k, ++address) {
    if (address == 30) ++address;  // the command address is not part of the file
    expected.emplace_back(address, 200 - k);
  }
  EXPECT_EQ(expected, Writes());
  EXPECT_EQ(36u, port.written.size());  // the restore point's four reads, then the writes
  EXPECT_EQ(37, Writes().back().first);
  EXPECT_TRUE(user.shown.empty());
  EXPECT_EQ(200 - 13, controller.Get(Param::AttInit));
}

TEST_F(Bs2Commands, AWriteWithoutItsEchoStopsTheLoadThere) {
  for (bool wrongEcho : {false, true}) {
    for (int k : {1, 2, 17, 32}) {
      SCOPED_TRACE(std::to_string(k) + (wrongEcho ? " wrong echo" : " no acknowledgement"));
      controller.writes = 0;
      controller.acknowledgedWrites = wrongEcho ? -1 : k - 1;
      controller.wrongEchoAtWrite = wrongEcho ? k : 0;
      user.shown.clear();
      files.files.clear();
      port.ClearLog();
      EXPECT_EQ(OpenResult::WriteFailed, Open(Bs2Text(Bs2Values{})));
      EXPECT_EQ(static_cast<std::size_t>(k), Writes().size());
      EXPECT_EQ(std::vector<FileMessage>{kWriteFailedMessage}, user.shown);
      // What the car holds and the way back: the writes confirmed before the failing one, and
      // the restore point just kept, by its full name.
      const std::string point = files.In("Backups").begin()->first;
      EXPECT_EQ("Confirmed: " + std::to_string(k - 1) + " / 32\nRestore point:\n" + point,
                user.details.back());
    }
  }
}

TEST_F(Bs2Commands, ABadOrUnreadableFileSendsNothing) {
  std::string text = Bs2Text(Bs2Values{});
  text.replace(text.find("LPGOnTemp= 0"), 12, "LPGOnTemp= 300");
  EXPECT_EQ(OpenResult::Mismatch, Open(text));
  user.picks = {"missing.bs2"};
  EXPECT_EQ(OpenResult::CannotRead, OpenSettingsFile(link, files, user, points, texts));
  user.picks = {std::nullopt};
  EXPECT_EQ(OpenResult::Cancelled, OpenSettingsFile(link, files, user, points, texts));
  EXPECT_TRUE(files.In("Backups").empty());
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ((std::vector<FileMessage>{kMismatchMessage, kCannotReadMessage}), user.shown);
}

TEST_F(Bs2Commands, OpenAtAnotherVersionSkipsTheCheckAndFailsAtTheFirstWrite) {
  GoOffline();
  EXPECT_EQ(OpenResult::WriteFailed, Open(Bs2Text(Bs2Values{})));
  EXPECT_EQ(OpenResult::WriteFailed, Open("not a settings file"));
  EXPECT_TRUE(port.written.empty());
  EXPECT_TRUE(files.In("Backups").empty());
  EXPECT_EQ((std::vector<FileMessage>{kWriteFailedMessage, kWriteFailedMessage}), user.shown);
  EXPECT_EQ((std::vector<std::string>{"", ""}), user.details);  // nothing written, no point
}

TEST_F(Bs2Commands, OpenKeepsTheCarAsARestorePointThatLoadsItBackExactly) {
  const std::string plate = "WA 12/3";
  std::copy(plate.begin(), plate.end(), controller.memory[5].begin() + 13);
  const auto car = controller.memory;
  Bs2Values other{};
  for (std::size_t k = 0; k < kSettingsCount; ++k) other[k] = static_cast<std::uint8_t>(k + 1);
  ASSERT_EQ(OpenResult::Loaded, Open(Bs2Text(other)));
  // The four reads before the first write; the point holds what they brought.
  EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Requests());
  EXPECT_EQ(Writes().size(), port.written.size() - 4);
  EXPECT_EQ((std::vector<std::uint8_t>{0x65, 5, 5, 0x6F}), port.written[3]);  // before any write
  const auto kept = files.In("Backups");
  ASSERT_EQ(1u, kept.size());
  const auto& [path, text] = *kept.begin();
  EXPECT_EQ("Backups/WA123_2024-05-01_090307_before-load.bs2", path);
  const std::string saveAs = Bs2Text(Bs2ValuesFromImage(link.image));  // the car before the load
  EXPECT_EQ(saveAs, text.substr(0, saveAs.size()));
  EXPECT_NE(car, controller.memory);

  port.ClearLog();
  files.files["load.bs2"] = text;
  user.picks = {"load.bs2"};
  ASSERT_EQ(OpenResult::Loaded, OpenSettingsFile(link, files, user, points, texts));
  EXPECT_EQ(car, controller.memory);  // every byte, the service record included
  EXPECT_EQ(2u, files.In("Backups").size());  // the loaded car got its own point
  EXPECT_TRUE(user.shown.empty());
}

TEST_F(Bs2Commands, ABackupsFolderThatRefusesThePointGivesWayToThePerUserOne) {
  points.fallback = "User/Backups";
  files.refusedFolders = {"Backups"};
  EXPECT_EQ(OpenResult::Loaded, Open(Bs2Text(Bs2Values{})));
  EXPECT_EQ(1u, files.In("User/Backups/").size());
  EXPECT_EQ(32u, Writes().size());

  // Refused in both: nothing sent, and the message names both folders.
  files.refusedFolders.insert("User/Backups");
  port.ClearLog();
  EXPECT_EQ(OpenResult::RestorePointNotWritten, Open(Bs2Text(Bs2Values{})));
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ("Tried:\nBackups\nUser/Backups", user.details.back());
}

TEST_F(Bs2Commands, OpenSendsNothingWithoutItsRestorePoint) {
  constexpr FileMessage kDiskRefused{kIoErrorCaption, 186};
  const struct {
    const char* what;
    int mutedBlock;
    bool foldersFail, writesFail;
    OpenResult result;
    FileMessage message;
  } cases[] = {
      {"Block 2 unanswered", 2, false, false, OpenResult::NoRestorePointAnswer, {170, 174}},
      {"Block 5 unanswered", 5, false, false, OpenResult::NoRestorePointAnswer, {170, 174}},
      {"folder refused", 0, true, false, OpenResult::RestorePointNotWritten, kDiskRefused},
      {"file refused", 0, false, true, OpenResult::RestorePointNotWritten, kDiskRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto car = controller.memory;
    controller.silentBlocks = {c.mutedBlock};
    files.foldersFail = c.foldersFail;
    files.writesFail = c.writesFail;
    user.shown.clear();
    port.ClearLog();
    EXPECT_EQ(c.result, Open(Bs2Text(Bs2Values{})));
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Requests());  // all four asked for, even so
    EXPECT_EQ(car, controller.memory);
    EXPECT_TRUE(files.In("Backups").empty());
    EXPECT_EQ(std::vector<FileMessage>{c.message}, user.shown);
    EXPECT_EQ(c.message == kDiskRefused ? "Tried:\nBackups" : "", user.details.back());
  }
  EXPECT_EQ("I/O Error", FileMessageCaption(kRestorePointNotWrittenMessage, LanguageTexts{}));
}

}  // namespace
}  // namespace kv
