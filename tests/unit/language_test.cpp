#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/code_page.h"
#include "files/language.h"
#include "files/settings.h"
#include "temp_dir.h"

namespace kv {
namespace {

TEST(LanguageFile, LineNumbersAreTextNumbersAndOnlyWhatFollowsTheLastEqualsCounts) {
  LanguageTexts texts;
  texts.text[1] = "kept";
  texts.text[4] = "kept too";
  ApplyLanguageFile(texts,
                    "title=Odczyty\n"
                    "no equals sign here\n"
                    "a=b=c\n"
                    "empty=\n"
                    "\n"
                    "lead=  spaced out \n"
                    "==\n",
                    CodePage::Windows1250);
  EXPECT_EQ("Odczyty", texts[0]);
  EXPECT_EQ("kept", texts[1]);        // a line without "=" keeps the old text
  EXPECT_EQ("c", texts[2]);           // the last "=" wins
  EXPECT_EQ("", texts[3]);            // "=" right before the line end empties the text
  EXPECT_EQ("kept too", texts[4]);    // so does an empty line
  EXPECT_EQ("  spaced out ", texts[5]);
  EXPECT_EQ("", texts[6]);
  EXPECT_EQ("", texts[7]);
}

TEST(LanguageFile, LastLineWithoutNewlineAndTextsCutAt127Characters) {
  LanguageTexts texts;
  const std::string longText(200, 'x');
  ApplyLanguageFile(texts, "k=" + longText + "\nk=" + longText + "=short", CodePage::Windows1250);
  EXPECT_EQ(std::string(127, 'x'), texts[0]);
  EXPECT_EQ("short", texts[1]);  // an "=" past the cut still starts the text again
}

TEST(LanguageFile, LinesPast200AreIgnored) {
  std::string content;
  for (int n = 0; n < 230; ++n) content += "k=line " + std::to_string(n) + "\n";
  LanguageTexts texts;
  ApplyLanguageFile(texts, content, CodePage::Windows1250);
  EXPECT_EQ("line 0", texts[0]);
  EXPECT_EQ("line 200", texts[200]);
  EXPECT_EQ("", texts[201]);  // outside the table
}

TEST(LanguageFile, CrLfAndLoneCrLineEndsReadLikeNewlinesAndNoCarriageReturnIsKept) {
  const std::vector<std::string> lines = {"a=one", "b=two", "none", "c=", "d=four", "", "e=six"};
  auto join = [&](const std::vector<std::string>& ends) {
    std::string content = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) content += ends[(i - 1) % ends.size()] + lines[i];
    return content;
  };
  LanguageTexts lf;
  ApplyLanguageFile(lf, join({"\n"}), CodePage::Windows1250);
  EXPECT_EQ("four", lf[4]);
  EXPECT_EQ("six", lf[6]);
  for (const auto& ends : std::vector<std::vector<std::string>>{
           {"\r\n"}, {"\r"}, {"\r\n", "\r", "\n", "\r", "\r\n", "\n"}}) {
    LanguageTexts texts;
    const std::string content = join(ends);
    ApplyLanguageFile(texts, content, CodePage::Windows1250);
    EXPECT_EQ(lf.text, texts.text) << content;
  }
  LanguageTexts stray;
  stray.text[1] = "kept";
  stray.text[2] = "kept too";
  ApplyLanguageFile(stray, "a=x\ry\r\r\nb=", CodePage::Windows1250);
  EXPECT_EQ("x", stray[0]);
  EXPECT_EQ("kept", stray[1]);      // "y" has no "="
  EXPECT_EQ("kept too", stray[2]);  // CR, then CR LF: an empty line between
  EXPECT_EQ("", stray[3]);
}

TEST(CodePages, PolishLettersFrom1250) {
  // "Zażółć gęślą jaźń ŁÓŚŹŻ" in code page 1250.
  const std::string bytes = "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \xA3\xD3\x8C\x8F\xAF";
  EXPECT_EQ("Zażółć gęślą jaźń ŁÓŚŹŻ", ToUtf8(bytes, CodePage::Windows1250));
  EXPECT_EQ("°C", ToUtf8("\xB0" "C", CodePage::Windows1250));
  EXPECT_EQ("Išsaugoti kaip...", ToUtf8("I\x9Asaugoti kaip...", CodePage::Windows1250));
}

TEST(CodePages, CyrillicFrom1251AndTheChoiceByLanguage) {
  // "Выход Ёё Язык" in code page 1251.
  const std::string bytes = "\xC2\xFB\xF5\xEE\xE4 \xA8\xB8 \xDF\xE7\xFB\xEA";
  EXPECT_EQ("Выход Ёё Язык", ToUtf8(bytes, CodePage::Windows1251));
  // The same bytes as 1250 are Latin letters: the code page really follows the language.
  EXPECT_NE(ToUtf8(bytes, CodePage::Windows1251), ToUtf8(bytes, CodePage::Windows1250));
  EXPECT_EQ(CodePage::Windows1251, CodePageForLanguage("rus"));
  for (const char* code : {"pol", "ang", "lit", "ita", "xyz", ""})
    EXPECT_EQ(CodePage::Windows1250, CodePageForLanguage(code)) << code;
  // Undefined bytes do not vanish silently.
  EXPECT_EQ("\xEF\xBF\xBD", ToUtf8("\x98", CodePage::Windows1251));
  EXPECT_EQ("plain ASCII", ToUtf8("plain ASCII", CodePage::Windows1251));
}

TEST(CodePages, ValidUtf8KeepsWellFormedSequencesAndReplacesEveryStrayByte) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct {
    std::string in, out;
  } cases[] = {
      {"plain", "plain"},
      {"Zażółć Выход €𝄞", "Zażółć Выход €𝄞"},             // 2-, 3- and 4-byte forms
      {"pol\xB3", "pol" + fffd},                            // "ł" typed in code page 1250
      {"\xC3", fffd},                                        // truncated at the end
      {"\xE2\x82", fffd + fffd},                             // truncated 3-byte form
      {"\xC0\xAF", fffd + fffd},                             // over-long "/"
      {"\xE0\x80\xAF", fffd + fffd + fffd},                  // over-long, 3 bytes
      {"\xED\xA0\x80", fffd + fffd + fffd},                  // a UTF-16 surrogate
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},       // past U+10FFFF
      {"\xFF\xFE", fffd + fffd},
      {"a\x80" "b", "a" + fffd + "b"},                          // a lone continuation byte
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, ValidUtf8(c.in)) << c.in;
}

TEST(LanguageCodes, OnlyPlainLettersNameAFile) {
  for (const char* code : {"pol", "ang", "rus", "lit", "ita", "xyz", "POL", "a"})
    EXPECT_TRUE(LanguageCodeNamesFile(code)) << code;
  EXPECT_TRUE(LanguageCodeNamesFile(std::string(63, 'q')));
  for (const std::string& code : std::initializer_list<std::string>{"", "pol\xB3", "ang\\..\\..\\KV720.ini", "../KV720.ini", "a/b",
                           "c:x", "pl1", "p l", "p.l", "\xC5\x82", std::string(64, 'q'),
                           std::string("po\0l", 4)})
    EXPECT_FALSE(LanguageCodeNamesFile(code)) << code;
  EXPECT_EQ("", LanguageFilePath("/start", "pol\xB3"));
}

TEST(CodePages, EveryDefinedByteComesBackFromUtf8) {
  for (const CodePage page : {CodePage::Windows1250, CodePage::Windows1251}) {
    for (int b = 1; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const std::string text = ToUtf8(byte, page);
      if (text == "\xEF\xBF\xBD") {
        EXPECT_FALSE(FromUtf8(text, page)) << b;  // an undefined byte has no character to send
      } else {
        EXPECT_EQ(byte, FromUtf8(text, page).value_or("?")) << b;
      }
    }
  }
}

TEST(CodePages, TextsTheCodePageCannotHoldGiveNothing) {
  for (const char* text : {"Ж", "€uro\xC3", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\x80",
                           "a\xF5\x80\x80\x80", "\xF0\x9F\x98\x80"})
    EXPECT_FALSE(FromUtf8(text, CodePage::Windows1250)) << text;
  EXPECT_FALSE(FromUtf8(std::string("A\0B", 3), CodePage::Windows1250));
  EXPECT_FALSE(FromUtf8("Ł", CodePage::Windows1251));
  EXPECT_EQ("\xA3\xB9", FromUtf8("Łą", CodePage::Windows1250).value_or(""));
  EXPECT_EQ("\xC6\xE6", FromUtf8("Жж", CodePage::Windows1251).value_or(""));
  EXPECT_EQ("", FromUtf8("", CodePage::Windows1251).value_or("?"));
}

class LanguageFiles : public ::testing::Test {
 protected:
  void Write(const std::string& code, const std::string& bytes) {
    dir_.Write(std::filesystem::path("Lang") / ("KV720_lang." + code), bytes);
  }
  std::string Start() const { return dir_.string(); }
  testing::TempDir dir_{"kv720-lang"};
};

TEST_F(LanguageFiles, LoadsTheFileOfTheCodeInItsCodePage) {
  Write("rus", "caption=\xD7\xF2\xE5\xED\xE8\xE5\r\n");
  Write("pol", "caption=Odczyty \xA3\xF3\xE6\n");
  LanguageTexts texts;
  ASSERT_TRUE(LoadLanguageTexts(texts, Start(), "rus"));
  EXPECT_EQ("Чтение", texts[0]);
  ASSERT_TRUE(LoadLanguageTexts(texts, Start(), "pol"));
  EXPECT_EQ("Odczyty Łóć", texts[0]);
}

TEST_F(LanguageFiles, AMissingFileKeepsThePreviousTexts) {
  Write("ang", "a=Readings\nb=Options\n");
  LanguageTexts texts;
  ASSERT_TRUE(LoadLanguageTexts(texts, Start(), "ang"));
  EXPECT_FALSE(LoadLanguageTexts(texts, Start(), "ita"));
  EXPECT_EQ("Readings", texts[0]);
  EXPECT_EQ("Options", texts[1]);
}

TEST_F(LanguageFiles, ACodeThatIsNoPlainWordReadsNoFileAtAll) {
  // Through the folder "KV720_lang.ang" the first code would reach the start directory's
  // KV720.ini and read it as a language file.
  std::ofstream(dir_ / "KV720.ini", std::ios::binary) << "k=[Ustawienia]\n";
  std::filesystem::create_directories(dir_ / "Lang" / "KV720_lang.ang");
  LanguageTexts texts;
  texts.text[0] = "before";
  for (const char* code : {"ang/../../KV720.ini", "ang\\..\\..\\KV720.ini", "pol\xB3", ""})
    EXPECT_FALSE(LoadLanguageTexts(texts, Start(), code)) << code;
  EXPECT_EQ("before", texts[0]);
}

TEST_F(LanguageFiles, FoundInTheStartDirectoryWhateverTheCurrentOne) {
  Write("lit", "a=Skaitymas\n");
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  LanguageTexts texts;
  const bool loaded = LoadLanguageTexts(texts, Start(), "lit");
  std::filesystem::current_path(before);
  ASSERT_TRUE(loaded);
  EXPECT_EQ("Skaitymas", texts[0]);
}

}  // namespace
}  // namespace kv
