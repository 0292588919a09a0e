// The factory reset panel against a scripted controller: the refusal, the silent stop, the reset
// command, the read-back and the 33 echoed write-backs with the progress bar; the captions and
// positions per screen size.
#include <gtest/gtest.h>

#include "fake_file_store.h"
#include "files/restore_point.h"
#include "files/settings_file.h"
#include "files/settings_file_commands.h"
#include "reset/reset.h"
#include "reset_ids.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using testing::PanelRig;
using Writes = std::vector<std::pair<int, int>>;

// Write addresses of the write-back, in order.
constexpr int kWriteBackAddresses[] = {5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                       16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                                       27, 28, 29, 31, 32, 33, 34, 35, 36, 37, 49};

struct ResetPanel : ::testing::Test {
  PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;
  testing::FakeFileStore files;
  RestorePoints points{files, "Backups", [] { return RestoreTime{2025, 12, 31, 23, 59, 58}; },
                       CodePage::Windows1251};

  void SetUp() override {
    // Before the reset the controller holds the car's settings (address + 100); the reset
    // command puts its factory values (address + 1) in their place, the service record stays.
    for (int address : kWriteBackAddresses) {
      const ByteRef target = WriteTarget(address);
      rig.controller.memory[target.block][target.index] = static_cast<std::uint8_t>(address + 100);
      rig.controller.factory.emplace_back(address, static_cast<std::uint8_t>(address + 1));
    }
    for (int address = 38; address <= 48; ++address) {
      const ByteRef target = WriteTarget(address);
      rig.controller.memory[target.block][target.index] = static_cast<std::uint8_t>(address);
    }
    StartResetPanel(c);
    c[IDC_RESET_PROGRESS].position = 7;  // left from an earlier press
  }
  ResetReport report;
  ResetOutcome Press() {
    report = {};
    return RunFactoryReset(program, c, points, &report);
  }
  int Bar() { return c[IDC_RESET_PROGRESS].position; }
  Writes WriteBackOfFactoryValues(std::size_t count) {
    Writes out{{30, 51}};
    for (std::size_t k = 0; k < count; ++k)
      out.emplace_back(kWriteBackAddresses[k], kWriteBackAddresses[k] + 1);
    return out;
  }
};

TEST_F(ResetPanel, EchoingControllerGetsEverySettingBackAndTheSuccessMessage) {
  EXPECT_EQ(ResetOutcome::Restored, Press());
  EXPECT_EQ(WriteBackOfFactoryValues(33), rig.Writes());  // 34 write commands
  EXPECT_EQ(32, Bar());
  // Identify and the refusal check, the restore point's reads, the command, the read-back.
  const std::vector<std::string> reads = {
      "65 01 01 67", "65 02 02 69", "65 02 02 69", "65 03 03 6B", "65 04 04 6D", "65 05 05 6F",
      "65 1F 33 B7", "65 02 02 69", "65 03 03 6B", "65 04 04 6D", "65 05 05 6F"};
  const std::vector<std::string> frames = rig.Frames();
  EXPECT_EQ(reads, std::vector<std::string>(frames.begin(), frames.begin() + 11));
  const auto message = MessageFor(ResetOutcome::Restored);
  ASSERT_TRUE(message);
  EXPECT_EQ(138, message->text);
  EXPECT_EQ(MessageIcon::Information, message->icon);
}

TEST_F(ResetPanel, RefusingControllerGetsNothingAfterTheBlock2Request) {
  rig.controller.Set(bytes::Status, 0x08);
  EXPECT_EQ(ResetOutcome::Refused, Press());
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 02 02 69"}), rig.Frames());
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(0, Bar());
  const auto message = MessageFor(ResetOutcome::Refused);
  ASSERT_TRUE(message);
  EXPECT_EQ(200, message->text);
  EXPECT_EQ(MessageIcon::Error, message->icon);
  rig.controller.Set(bytes::Status, 0xF7);  // every other status bit set: no refusal
  rig.port.ClearLog();
  EXPECT_EQ(ResetOutcome::Restored, Press());
}

TEST_F(ResetPanel, UnansweredWriteBackStopsWithTheWarningAtTheLastEchoedStep) {
  const struct {
    int echoes;  // acknowledged writes, the reset command included
    int bar;
    std::size_t sent;  // write-backs that went out
  } cases[] = {{11, 9, 11}, {1, 0, 1}, {33, 31, 33}};
  for (const auto& k : cases) {
    rig.controller.acknowledgedWrites = k.echoes;
    rig.port.ClearLog();
    EXPECT_EQ(ResetOutcome::NotRestored, Press()) << k.echoes;
    EXPECT_EQ(k.bar, Bar()) << k.echoes;
    EXPECT_EQ(WriteBackOfFactoryValues(k.sent), rig.Writes()) << k.echoes;
    // The message names the write-backs confirmed and the restore point taken before the reset.
    program.texts.text[kWritesConfirmedText] = "Confirmed:";
    program.texts.text[kRestorePointKeptText] = "Point:";
    EXPECT_EQ("Confirmed: " + std::to_string(k.sent - 1) + " / 33\nPoint:\n" + report.restorePoint,
              ResetMessageDetail(ResetOutcome::NotRestored, report, points, program));
    EXPECT_EQ(0u, report.restorePoint.rfind("Backups/", 0));
  }
  const auto message = MessageFor(ResetOutcome::NotRestored);
  ASSERT_TRUE(message);
  EXPECT_EQ(139, message->text);
  EXPECT_EQ(MessageIcon::Warning, message->icon);
}

TEST_F(ResetPanel, WrongEchoStopsAtTheFirstWriteBack) {
  rig.controller.wrongEcho = true;
  EXPECT_EQ(ResetOutcome::NotRestored, Press());
  EXPECT_EQ(WriteBackOfFactoryValues(1), rig.Writes());
  EXPECT_EQ(0, Bar());
}

TEST_F(ResetPanel, RejectedReadBackSendsNoWriteBack) {
  for (int block : {2, 3, 4, 5}) {
    rig.controller.resetSeen = false;
    rig.controller.badChecksumAfterReset = block;
    rig.port.ClearLog();
    EXPECT_EQ(ResetOutcome::NotRestored, Press()) << block;
    EXPECT_EQ((Writes{{30, 51}}), rig.Writes()) << block;
    EXPECT_EQ("65 05 05 6F", rig.Frames().back()) << block;  // all four were asked for
    EXPECT_EQ(0, Bar());
  }
}

TEST_F(ResetPanel, OfflineOrAnotherVersionStopsSilently) {
  rig.controller.identity = 0x85;  // version 5
  EXPECT_EQ(ResetOutcome::NotSent, Press());
  EXPECT_TRUE(rig.Writes().empty());
  EXPECT_EQ(0, Bar());
  rig.controller.answers = false;
  rig.port.ClearLog();
  for (int press = 0; press < 3; ++press) EXPECT_EQ(ResetOutcome::NotSent, Press());
  EXPECT_TRUE(program.link.offline);
  EXPECT_TRUE(rig.Writes().empty());
  EXPECT_TRUE(files.files.empty());
  EXPECT_FALSE(MessageFor(ResetOutcome::NotSent));
}

TEST_F(ResetPanel, TheCarsSettingsAreKeptBeforeTheResetCommand) {
  const std::string plate("\xC0\xC1 123\0", 7);  // Cyrillic letters in code page 1251
  for (std::size_t i = 0; i < plate.size(); ++i)
    rig.controller.memory[5][13 + i] = static_cast<std::uint8_t>(plate[i]);
  const auto car = rig.controller.memory;
  ASSERT_EQ(ResetOutcome::Restored, Press());
  ASSERT_EQ(1u, files.files.size());
  const auto& [path, text] = *files.files.begin();
  EXPECT_EQ("Backups/123_2025-12-31_235958_before-reset.bs2", path);
  MemoryImage before;
  for (int n = 2; n <= kBlockCount; ++n)
    std::copy(car[n].begin(), car[n].end(), before.blocks[n - 1].begin());
  const std::string saveAs = Bs2Text(Bs2ValuesFromImage(before));
  ASSERT_EQ(saveAs, text.substr(0, saveAs.size()));
  EXPECT_NE(std::string::npos, text.find("\n; reason: before-reset\n"));
  EXPECT_NE(std::string::npos, text.find("\n; registration: \xD0\x90\xD0\x91 123\n"));  // UTF-8
}

TEST_F(ResetPanel, NoRestorePointNoResetCommand) {
  const struct {
    const char* what;
    int mutedBlock;
    bool writesFail;
    ResetOutcome outcome;
    int caption, text;
  } cases[] = {
      {"Block 3 unanswered", 3, false, ResetOutcome::NoRestorePointAnswer, 170, 174},
      {"Block 5 unanswered", 5, false, ResetOutcome::NoRestorePointAnswer, 170, 174},
      {"disk refused", 0, true, ResetOutcome::RestorePointNotWritten, kIoErrorCaption, 186},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    rig.controller.badChecksumBlock = k.mutedBlock;
    files.writesFail = k.writesFail;
    rig.port.ClearLog();
    EXPECT_EQ(k.outcome, Press());
    EXPECT_TRUE(rig.Writes().empty());
    EXPECT_EQ("65 05 05 6F", rig.Frames().back());  // all four were asked for
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(0, Bar());
    const auto message = MessageFor(k.outcome);
    ASSERT_TRUE(message);
    EXPECT_EQ(k.caption, message->caption);
    EXPECT_EQ(k.text, message->text);
    EXPECT_EQ(MessageIcon::Warning, message->icon);
  }
  EXPECT_EQ(kResetCaptionText, MessageFor(ResetOutcome::Refused)->caption);
}

TEST_F(ResetPanel, CaptionsAndPlacesPerScreenSize) {
  EXPECT_EQ(0, c[IDC_RESET_PROGRESS].minimum);
  EXPECT_EQ(32, c[IDC_RESET_PROGRESS].maximum);
  const struct {
    int size;
    int heading[4], description[4], button[4], bar[4];
  } sizes[] = {
      {1, {65, 90, 800, 40}, {65, 130, 800, 40}, {85, 190, 450, 45}, {85, 250, 450, 25}},
      {2, {150, 130, 800, 40}, {150, 170, 800, 40}, {120, 250, 550, 55}, {120, 320, 550, 30}},
      {3, {250, 150, 800, 40}, {250, 200, 800, 40}, {150, 300, 700, 65}, {150, 390, 700, 40}},
      {4, {360, 250, 800, 40}, {360, 300, 800, 40}, {220, 400, 800, 75}, {220, 500, 800, 50}},
      {5, {360, 300, 800, 40}, {360, 350, 800, 40}, {220, 450, 800, 75}, {220, 550, 800, 50}},
  };
  auto at = [&](int id) {
    const auto& k = c[id];
    return std::vector<int>{k.x, k.y, k.width, k.height};
  };
  auto expect = [](const int (&r)[4]) { return std::vector<int>(r, r + 4); };
  for (const auto& s : sizes) {
    program.shell.screenSize = s.size;
    PaintResetPanel(program, c);
    EXPECT_EQ(expect(s.heading), at(IDC_RESET_HEADING)) << s.size;
    EXPECT_EQ(expect(s.description), at(IDC_RESET_DESCRIPTION)) << s.size;
    EXPECT_EQ(expect(s.button), at(IDC_RESET_BUTTON)) << s.size;
    EXPECT_EQ(expect(s.bar), at(IDC_RESET_PROGRESS)) << s.size;
  }
  EXPECT_EQ("text 134", c[IDC_RESET_HEADING].text);
  EXPECT_EQ("text 135", c[IDC_RESET_DESCRIPTION].text);
  EXPECT_EQ("text 136", c[IDC_RESET_BUTTON].text);
  // The main window's paint places the three texts but leaves the bar.
  PlaceResetTexts(1, c);
  EXPECT_EQ(expect(sizes[0].button), at(IDC_RESET_BUTTON));
  EXPECT_EQ(expect(sizes[4].bar), at(IDC_RESET_PROGRESS));
}

}  // namespace
}  // namespace kv
