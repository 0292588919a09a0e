#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/settings.h"
#include "shell/program.h"
#include "temp_dir.h"

namespace kv {
namespace {

TEST(SettingsFile, ReadsPortAndCodeByPositionOnly) {
  auto v = ParseSettingsFile("[Ustawienia]\nCommPort= 3\nLanguage= rus\n");
  EXPECT_EQ(3, v.port);
  EXPECT_EQ("rus", v.languageCode);
  // Names are not compared and any whitespace separates.
  v = ParseSettingsFile("x\r\n\tY   -7 \r\n z\tita");
  EXPECT_EQ(-7, v.port);
  EXPECT_EQ("ita", v.languageCode);
  // The written form reads back.
  v = ParseSettingsFile(FormatSettingsFile(4, "lit"));
  EXPECT_EQ(4, v.port);
  EXPECT_EQ("lit", v.languageCode);
  EXPECT_EQ("[Ustawienia]\nCommPort= 2\nLanguage= ang\n", FormatSettingsFile(2, "ang"));
}

TEST(SettingsFile, WhatCannotBeReadKeepsItsDefault) {
  auto v = ParseSettingsFile("");
  EXPECT_EQ(1, v.port);
  EXPECT_EQ("pol", v.languageCode);
  v = ParseSettingsFile("[Ustawienia]\nCommPort=");
  EXPECT_EQ(1, v.port);
  EXPECT_EQ("pol", v.languageCode);
  // No blank before the number: the number is not read, the scan goes on from the next token.
  v = ParseSettingsFile("[Ustawienia]\nCommPort=2\nLanguage= ang\n");
  EXPECT_EQ(1, v.port);
  EXPECT_EQ("ang", v.languageCode);
  v = ParseSettingsFile("[Ustawienia]\nCommPort= two\nLanguage= ang\n");
  EXPECT_EQ(1, v.port);
}

TEST(SettingsFile, OverLongTokensAreBoundedAndFallBack) {
  const std::string huge(100000, 'A');
  auto v = ParseSettingsFile(huge + "\n" + huge + " 2\n" + huge + " " + huge + "\n");
  EXPECT_EQ(2, v.port);  // the long names cost nothing
  EXPECT_EQ("pol", v.languageCode);
  v = ParseSettingsFile("s\nk 99999999999999999999999999999\nl " + std::string(63, 'c'));
  EXPECT_EQ(1, v.port);
  EXPECT_EQ(std::string(63, 'c'), v.languageCode);  // 63 characters still fit
  v = ParseSettingsFile("s\nk 3\nl " + std::string(64, 'c'));
  EXPECT_EQ(3, v.port);
  EXPECT_EQ("pol", v.languageCode);
}

// Explorer runs a program opened inside a zip from the user's temporary folder, without Lang.
TEST(StartFolder, ATemporaryFolderWithoutLangIsAStartFromAZip) {
  const struct {
    const char *start, *temp;
    bool lang, temporary;
  } cases[] = {
      {"C:\\Users\\Ann\\AppData\\Local\\Temp\\Temp1_KV720.zip", "C:\\Users\\Ann\\AppData\\Local\\Temp\\", false, true},
      {"c:\\users\\ann\\appdata\\local\\temp\\x", "C:\\Users\\Ann\\AppData\\Local\\Temp", false, true},
      {"C:/Users/Ann/AppData/Local/Temp", "C:\\Users\\Ann\\AppData\\Local\\Temp\\", false, true},
      {"C:\\Users\\Ann\\AppData\\Local\\Temp\\KV720", "C:\\Users\\Ann\\AppData\\Local\\Temp\\", true, false},
      {"C:\\Users\\Ann\\AppData\\Local\\Temporary", "C:\\Users\\Ann\\AppData\\Local\\Temp\\", false, false},
      {"D:\\KV720", "C:\\Users\\Ann\\AppData\\Local\\Temp\\", false, false},
      {"C:\\Users\\Ann\\AppData\\Local\\Temp\\x", "", false, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.temporary, StartedFromTemporaryFolder(c.start, c.temp, c.lang)) << c.start;
}

class SettingsDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.startDirectory = dir_.string();
  }
  std::string Ini() const { return dir_.Read("KV720.ini"); }
  void WriteIni(const std::string& text) { dir_.Write("KV720.ini", text); }
  testing::TempDir dir_{"kv720-ini"};
  ProgramSettings settings_;
};

TEST_F(SettingsDirectory, AMissingFileIsCreatedWithTheDefaults) {
  settings_.languageCode = "ang";
  settings_.storedPort = 3;
  EXPECT_EQ(1, LoadSettings(settings_));
  EXPECT_EQ("[Ustawienia]\nCommPort= 1\nLanguage= pol\n", Ini());
  EXPECT_EQ("pol", settings_.languageCode);
  EXPECT_EQ(1, settings_.storedPort);
}

// Only a missing KV720.ini is made anew: one that is there but could not be read (held by another
// program for a moment) is left alone, and the run goes on with the defaults.
TEST_F(SettingsDirectory, OnlyAMissingFileIsMadeAnew) {
  const std::string path = (dir_ / "KV720.ini").string();
  EXPECT_TRUE(NoFileAt(path));
  std::filesystem::create_directory(path);
  EXPECT_TRUE(NoFileAt(path));  // a folder in its place: the write fails and is told
  std::filesystem::remove(path);
  WriteIni("held");
  EXPECT_FALSE(NoFileAt(path));
}

TEST_F(SettingsDirectory, PortsOutsideOneToFourAreStoredAsOne) {
  for (int port : {0, 7, -1}) {
    WriteIni(FormatSettingsFile(port, "lit"));
    EXPECT_EQ(port, LoadSettings(settings_));
    EXPECT_EQ(1, settings_.storedPort);
    EXPECT_EQ("lit", settings_.languageCode);
  }
  WriteIni(FormatSettingsFile(4, "rus"));
  EXPECT_EQ(4, LoadSettings(settings_));
  EXPECT_EQ(4, settings_.storedPort);
}

TEST_F(SettingsDirectory, SaveRewritesTheStartDirectoryFileWhateverTheCurrentDirectory) {
  WriteIni(FormatSettingsFile(2, "pol"));
  LoadSettings(settings_);
  settings_.languageCode = "rus";
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  const bool saved = SaveSettings(settings_);
  std::filesystem::current_path(before);
  EXPECT_TRUE(saved);
  EXPECT_EQ("[Ustawienia]\nCommPort= 2\nLanguage= rus\n", Ini());
}

TEST_F(SettingsDirectory, AnUnwritableDirectoryIsReportedNotFatal) {
  settings_.startDirectory = (dir_ / "missing" / "deeper").string();
  EXPECT_EQ(1, LoadSettings(settings_));
  EXPECT_EQ("pol", settings_.languageCode);
  EXPECT_TRUE(settings_.saveFailed);
  EXPECT_FALSE(SaveSettings(settings_));
}

TEST_F(SettingsDirectory, AFileThatCannotBeReplacedStaysWholeAndTheUserIsToldOnceARun) {
  // A folder in the file's place: nothing can be read, created or renamed over it.
  std::filesystem::create_directories(dir_ / "KV720.ini");
  EXPECT_EQ(1, LoadSettings(settings_));
  EXPECT_TRUE(TakeSaveFailureNotice(settings_));
  settings_.storedPort = 3;
  EXPECT_FALSE(SaveSettings(settings_));
  EXPECT_FALSE(TakeSaveFailureNotice(settings_));  // once a run
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "KV720.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "KV720.ini.tmp"));

  // A write that works leaves no temporary file and nothing to tell.
  ProgramSettings fresh;
  fresh.startDirectory = settings_.startDirectory;
  std::filesystem::remove(dir_ / "KV720.ini");
  WriteIni(FormatSettingsFile(2, "ang"));
  LoadSettings(fresh);
  EXPECT_TRUE(SaveSettings(fresh));
  EXPECT_FALSE(TakeSaveFailureNotice(fresh));
  EXPECT_EQ("[Ustawienia]\nCommPort= 2\nLanguage= ang\n", Ini());
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir_),
                             std::filesystem::directory_iterator()));
}

TEST_F(SettingsDirectory, TheProgramsFolderIsTheStartDirectoryWhenTheCurrentOneHoldsNothingOfIt) {
  namespace fs = std::filesystem;
  const fs::path program = dir_ / "program", current = dir_ / "current";
  const struct {
    bool currentIni, currentLang, programIni, programLang;
    bool chooseProgram;
  } cases[] = {
      {false, false, false, true, true},   // Start menu search: Lang beside the exe
      {false, false, true, false, true},
      {false, false, false, false, false},  // nothing anywhere: the current folder, as ever
      {true, false, true, true, false},     // the current folder has its own KV720.ini
      {false, true, true, true, false},
  };
  for (const auto& c : cases) {
    fs::remove_all(program);
    fs::remove_all(current);
    fs::create_directories(program);
    fs::create_directories(current);
    if (c.currentIni) std::ofstream(current / "KV720.ini") << "x";
    if (c.currentLang) fs::create_directories(current / "Lang");
    if (c.programIni) std::ofstream(program / "KV720.ini") << "x";
    if (c.programLang) fs::create_directories(program / "Lang");
    const std::string chosen = ChooseStartDirectory(current.string(), program.string());
    EXPECT_EQ(c.chooseProgram ? program.string() : current.string(), chosen)
        << c.currentIni << c.currentLang << c.programIni << c.programLang;
  }
  // A file named Lang is no folder of texts; a folder that is not there is not chosen.
  fs::remove_all(program / "Lang");
  fs::remove(program / "KV720.ini");
  std::ofstream(program / "Lang") << "x";
  EXPECT_EQ(current.string(), ChooseStartDirectory(current.string(), program.string()));
  EXPECT_EQ(current.string(), ChooseStartDirectory(current.string(), ""));
  EXPECT_EQ(current.string(), ChooseStartDirectory(current.string(), "/no/such\xB3/folder"));
}

}  // namespace
}  // namespace kv
