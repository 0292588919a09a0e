// The settings file's text: the exact bytes Save As writes, and what the reader accepts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "files/settings_file.h"

namespace kv {
namespace {

// The 33 keys in file order, written out here rather than taken from the parameter table.
const char* const kKeys[kBs2ValueCount] = {
    "Options=",     "LambdaType=",  "LambdaPoint=", "LambdaDelay=", "EmulType=",
    "EmulBJ_TimeHi=", "EmulBJ_TimeLo=", "ZAM_OTW_BJ=", "ZAM_OTW_DO=", "InjectDelay=",
    "LPGOnTemp=",   "AttMax=",      "AttMin=",      "AttInit=",     "TPSJump=",
    "AttJump=",     "LPGOnRPMLo=",  "LPGOnRPMHi=",  "IgnitionType=", "CutOffRPMLo=",
    "CutOffRPMHi=", "CutOffSteps=", "LPGOffRPMLo=", "LPGOffRPMHi=", "TPSInert=",
    "AttMax_BJ=",   "AttMin_BJ=",   "Prog1=",       "Prog2=",       "Prog3=",
    "Prog4=",       "WOZG=",        "NULL="};

Bs2Values SampleValues() {
  Bs2Values values{};
  for (std::size_t k = 0; k < kSettingsCount; ++k) values[k] = static_cast<std::uint8_t>(7 * k + 3);
  values[10] = 255;
  values[11] = 0;
  return values;
}

// A file as another installation writes it, line by line (without line ends).
std::vector<std::string> Lines(const Bs2Values& values) {
  std::vector<std::string> lines = {"[Tolmar_KV720+]", "Version=3", "[Configuration]"};
  for (std::size_t k = 0; k < kBs2ValueCount; ++k)
    lines.push_back(std::string(kKeys[k]) + " " + std::to_string(values[k]));
  return lines;
}

std::string Join(const std::vector<std::string>& lines, const char* end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

TEST(Bs2Format, SaveWritesTheExactText) {
  const std::string text = Bs2Text(SampleValues());
  EXPECT_EQ(Join(Lines(SampleValues())), text);
  EXPECT_EQ(0u, text.find("[Tolmar_KV720+]\nVersion=3\n[Configuration]\nOptions= 3\nLambdaType= 10\n"));
  EXPECT_NE(std::string::npos, text.find("\nLPGOnTemp= 255\nAttMax= 0\n"));
  EXPECT_EQ(text.size() - 9, text.rfind("\nNULL= 0\n"));
  EXPECT_EQ(std::string::npos, text.find('\r'));
  // Lines 1..3 and the keys are the 36 expected texts, none longer than 29 characters.
  const auto& texts = Bs2ExpectedTexts();
  EXPECT_EQ("Version=3", texts[1]);
  for (std::size_t k = 0; k < kBs2ValueCount; ++k) EXPECT_EQ(kKeys[k], texts[3 + k]);
  EXPECT_EQ(15u, Bs2LongestText());  // "[Tolmar_KV720+]"
}

TEST(Bs2Format, RandomValueSetsRoundTrip) {
  std::mt19937 random(720);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    Bs2Values values{};
    for (auto& v : values) v = static_cast<std::uint8_t>(byte(random));
    const Bs2Content content = ParseBs2(Bs2Text(values));
    ASSERT_TRUE(content.valid) << Bs2Text(values);
    EXPECT_EQ(values, content.values);
  }
}

// Each way a file can differ from the format, and the line it is reported at.
TEST(Bs2Format, EveryMismatchIsRefusedAtItsLine) {
  const std::vector<std::string> good = Lines(SampleValues());
  auto with = [&](std::size_t line, std::string text) {
    std::vector<std::string> lines = good;
    lines[line - 1] = std::move(text);
    return Join(lines);
  };
  auto without = [&](std::size_t line) {
    std::vector<std::string> lines = good;
    lines.erase(lines.begin() + static_cast<long>(line - 1));
    return Join(lines);
  };
  std::vector<std::string> swapped = good;
  std::swap(swapped[5], swapped[6]);
  const std::string full = Join(good);
  const struct {
    const char* what;
    std::string text;
    int line;
  } cases[] = {
      {"wrong header", with(1, "[Tolmar_KV720]"), 1},
      {"header in other case", with(3, "[configuration]"), 3},
      {"another version", with(2, "Version=4"), 2},
      {"misspelt key", with(5, "LambdaTyp= 10"), 5},
      {"missing key", without(6), 6},
      {"keys out of order", Join(swapped), 6},
      {"key glued to its value", with(14, "LPGOnTemp=255"), 14},
      {"space before the =", with(14, "LPGOnTemp = 255"), 14},
      {"30-character token", with(4, std::string(30, 'O') + " 3"), 4},
      {"over-long header", with(1, "[Tolmar_KV720+]" + std::string(1000, '+')), 1},
      {"256", with(14, "LPGOnTemp= 256"), 14},
      {"huge number", with(14, "LPGOnTemp= 99999999999999999999999"), 14},
      {"-1", with(14, "LPGOnTemp= -1"), 14},
      {"plus sign", with(14, "LPGOnTemp= +12"), 14},
      {"12a", with(14, "LPGOnTemp= 12a"), 14},
      {"fraction", with(14, "LPGOnTemp= 1.5"), 14},
      {"hexadecimal", with(14, "LPGOnTemp= 0x10"), 14},
      {"no value", with(14, "LPGOnTemp="), 14},
      {"NULL value not a number", with(36, "NULL= 0a"), 36},
      {"empty file", "", 1},
      {"only whitespace", " \r\n\t\n", 1},
      {"cut in the middle", full.substr(0, full.find("AttMax=")), 15},
      {"cut after the last key", full.substr(0, full.size() - 3), 36},
      {"byte-order mark", "\xEF\xBB\xBF" + full, 1},
  };
  for (const auto& c : cases) {
    const Bs2Content content = ParseBs2(c.text);
    EXPECT_FALSE(content.valid) << c.what;
    EXPECT_EQ(c.line, content.badLine) << c.what;
  }
}

TEST(Bs2Format, WhitespaceLineEndsAndTrailingLinesAreAccepted) {
  const Bs2Values values = SampleValues();
  const std::vector<std::string> lines = Lines(values);
  std::vector<std::string> padded = lines;
  padded[13] = "LPGOnTemp=\t\t00255";  // tabs and leading zeros
  padded[4] = "  " + padded[4] + "   ";
  std::string noFinalEnd = Join(lines);
  noFinalEnd.pop_back();
  const std::string accepted[] = {
      Join(lines, "\r\n"),                                       // CR LF line ends
      Join(lines, "\r"),                                         // CR alone
      Join(padded),                                              // spaces, tabs, leading zeros
      "\n\n" + Join(lines, "\n\n"),                              // blank lines
      noFinalEnd,                                                // no line end after "NULL= 0"
      Join(lines) + "[Backup]\nReason= before-load\n\x01\xFF",   // lines after "NULL="
      Join(lines).substr(0, Join(lines).size() - 1) + " trailing words",
  };
  for (const std::string& text : accepted) {
    const Bs2Content content = ParseBs2(text);
    ASSERT_TRUE(content.valid) << text;
    EXPECT_EQ(values, content.values);
  }
}

}  // namespace
}  // namespace kv
