// Restore points: the Save As text with comment lines that every reader skips, a name per car,
// moment and reason, and a write that never replaces an earlier restore point.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "files/file_store.h"
#include "files/restore_point.h"
#include "files/settings_file.h"
#include "link/parameters.h"
#include "temp_dir.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

MemoryImage CarWithRegistration(const std::string& plate) {
  MemoryImage image;
  for (std::size_t k = 0; k < kSettingsCount; ++k) {
    const ByteRef at = kParameters[k].byte;
    image.blocks[static_cast<std::size_t>(at.block - 1)][at.index] = static_cast<std::uint8_t>(k * 7 + 3);
  }
  for (std::size_t i = 0; i < plate.size() && i < kRegistrationLength; ++i)
    image.blocks[4][13 + i] = static_cast<std::uint8_t>(plate[i]);
  return image;
}

const RestoreTime kTime{2024, 5, 1, 9, 3, 7};
const RestorePointFacts kFacts{"3.05", "KR720SM", "1234h25'", "2019-05-14"};

TEST(RestorePoint, NameKeepsOnlyLettersAndDigitsOfTheRegistration) {
  const std::pair<std::string, std::string> plates[] = {
      {"KR720SM", "KR720SM"},
      {"", "no-registration"},
      {"       ", "no-registration"},
      {"WA 1/23", "WA123"},
      {"../..\\x", "x"},
      {"\xA3\xD3" "DZ1", "DZ1"},  // letters outside ASCII are left out
      {std::string("AB\0CD", 5), "AB"},  // the registration ends at a zero
  };
  for (const auto& [plate, shown] : plates) {
    EXPECT_EQ(shown + "_2024-05-01_090307_before-load.bs2",
              RestorePointName(CarWithRegistration(plate), RestoreReason::BeforeLoad, kTime))
        << plate;
  }
  EXPECT_EQ("X_2024-05-01_090307_before-reset.bs2",
            RestorePointName(CarWithRegistration("X"), RestoreReason::BeforeReset, kTime));
}

TEST(RestorePoint, TextIsTheSaveAsTextThenCommentsEveryReaderSkips) {
  const MemoryImage car = CarWithRegistration("KR720SM");
  const std::string text = RestorePointText(car, RestoreReason::BeforeLoad, kTime, kFacts);
  const std::string saveAs = Bs2Text(Bs2ValuesFromImage(car));
  ASSERT_EQ(0u, text.rfind(saveAs, 0));
  EXPECT_EQ("; KV720 restore point\n; reason: before-load\n; taken: 2024-05-01 09:03:07\n"
            "; controller version: 3.05\n; registration: KR720SM\n; hours on gas: 1234h25'\n"
            "; installation date: 2019-05-14\n",
            text.substr(saveAs.size()));
  const Bs2Content read = ParseBs2(text);
  ASSERT_TRUE(read.valid);
  EXPECT_EQ(Bs2ValuesFromImage(car), read.values);
}

TEST(RestorePoint, FactsAreTheServiceRecordAsTheInformationPanelShowsIt) {
  MemoryImage car = CarWithRegistration("\xC0\xC1\n12");
  car.blocks[0][2] = 0x45;  // version 3, revision 5
  const auto set = [&](Param p, std::uint8_t v) {
    car.blocks[static_cast<std::size_t>(Row(p).byte.block - 1)][Row(p).byte.index] = v;
  };
  set(Param::LpgHoursLo, 0xD2);
  set(Param::LpgHoursHi, 0x04);  // 1234 h
  set(Param::LpgMinutes, 25);
  set(Param::InstallDateLo, (4 % 8) * 32 + 13);  // May 14th
  set(Param::InstallDateHi, 19);                 // 2019
  const RestorePointFacts cyrillic = RestorePointFactsOf(car, CodePage::Windows1251);
  EXPECT_EQ("3.05", cyrillic.version);
  EXPECT_EQ("1234h25'", cyrillic.runningTime);
  EXPECT_EQ("2019-05-14", cyrillic.installationDate);
  // The line end a registration byte could hold would end the comment line.
  EXPECT_EQ("\xD0\x90\xD0\x91?12", cyrillic.registration);
  EXPECT_EQ("\xC5\x94\xC3\x81?12", RestorePointFactsOf(car, CodePage::Windows1250).registration);
}

class RestorePointFolder : public ::testing::Test {
 protected:
  testing::TempDir root_{"kv720-restore"};
  SystemFileStore files_;
};

TEST_F(RestorePointFolder, MakesTheFolderAndNeverReplacesAnEarlierPoint) {
  const std::string folder = (root_ / "Backups" / "car").string();
  const MemoryImage before = CarWithRegistration("KR720SM");
  MemoryImage after = before;
  after.blocks[2][1] = 0xEE;
  const std::string first =
      WriteRestorePoint(files_, folder, before, RestoreReason::BeforeLoad, kTime, kFacts);
  const std::string second =
      WriteRestorePoint(files_, folder, after, RestoreReason::BeforeLoad, kTime, kFacts);
  EXPECT_EQ(folder + "/KR720SM_2024-05-01_090307_before-load.bs2", first);
  EXPECT_EQ(folder + "/KR720SM_2024-05-01_090307_before-load_2.bs2", second);
  std::string content;
  ASSERT_TRUE(files_.Read(first, kBs2ReadLimit, content));
  EXPECT_EQ(Bs2ValuesFromImage(before), ParseBs2(content).values);
  ASSERT_TRUE(files_.Read(second, kBs2ReadLimit, content));
  EXPECT_EQ(Bs2ValuesFromImage(after), ParseBs2(content).values);
}

TEST_F(RestorePointFolder, AFolderThatCannotBeMadeGivesNoPath) {
  const fs::path file = root_ / "plain-file";
  ASSERT_TRUE(files_.Replace(file.string(), "x"));
  EXPECT_EQ("", WriteRestorePoint(files_, (file / "Backups").string(), CarWithRegistration("A"),
                                  RestoreReason::BeforeLoad, kTime, kFacts));
}

// File > Open starts beside the restore points in use: the start directory's Backups, or the
// per-user one once that exists and the first does not (it could not be made).
TEST_F(RestorePointFolder, HomeIsBesideTheFolderInUse) {
  const std::string beside = (root_ / "program" / "Backups").string();
  const std::string perUser = (root_ / "user" / "KV720" / "Backups").string();
  RestorePoints points{files_, beside, [] { return kTime; }, CodePage::Windows1250, perUser};
  EXPECT_EQ((std::vector<std::string>{beside, perUser}), RestorePointFolders(points));
  EXPECT_EQ((root_ / "program").string(), RestorePointsHome(points));
  ASSERT_TRUE(files_.MakeFolder(perUser));
  EXPECT_EQ((root_ / "user" / "KV720").string(), RestorePointsHome(points));
  ASSERT_TRUE(files_.MakeFolder(beside));
  EXPECT_EQ((root_ / "program").string(), RestorePointsHome(points));
  points.fallback.clear();
  EXPECT_EQ((std::vector<std::string>{beside}), RestorePointFolders(points));
}

TEST(RestorePointHome, ParentFolderOfEitherSpelling) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\KV720\\Backups", "C:\\KV720"}, {"C:\\Backups", "C:\\"},
      {"C:\\KV720\\Backups\\", "C:\\KV720"}, {"/home/f/.local/share/kv720/Backups", "/home/f/.local/share/kv720"},
      {"/Backups", "/"}, {"Backups", ""}};
  for (const auto& [path, parent] : cases) EXPECT_EQ(parent, ParentFolder(path)) << path;
}

}  // namespace
}  // namespace kv
