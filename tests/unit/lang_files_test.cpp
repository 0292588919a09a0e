// Checks the shipped language files byte by byte, the way the program reads them: text n is what
// follows the last "=" of line n, texts are cut at 127 bytes, the file is single-byte text in the
// code page of its language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct LangFile {
  const char* code;
  int codePage;  // 1250 or 1251
};

constexpr LangFile kFiles[] = {{"pol", 1250}, {"ang", 1250}, {"rus", 1251}, {"lit", 1250}, {"ita", 1250}};

constexpr int kLines = 201;
constexpr std::size_t kMaxText = 127;

// Every text number a panel, dialog, main window caption or message box shows.
constexpr std::pair<int, int> kUsedRanges[] = {
    {0, 6}, {11, 89}, {92, 132}, {134, 200}};

// Texts inserted as arguments into the caption format "%s:   %s" of the emulation dialog.
constexpr int kFormatArguments[] = {43, 61};

bool IsUsed(int n) {
  return std::any_of(std::begin(kUsedRanges), std::end(kUsedRanges),
                     [n](const auto& r) { return n >= r.first && n <= r.second; });
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Parsed {
  std::string bytes;
  std::vector<std::string> lines;  // without their '\n'
};

Parsed Load(const LangFile& f) {
  Parsed p;
  p.bytes = ReadBytes(std::string(KV720_SOURCE_DIR) + "/Lang/KV720_lang." + f.code);
  std::size_t start = 0;
  for (std::size_t i = 0; i < p.bytes.size(); ++i) {
    if (p.bytes[i] == '\n') {
      p.lines.push_back(p.bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < p.bytes.size()) p.lines.push_back(p.bytes.substr(start));  // unterminated last line
  return p;
}

const std::map<std::string, Parsed>& Files() {
  static const std::map<std::string, Parsed> files = [] {
    std::map<std::string, Parsed> m;
    for (const auto& f : kFiles) m[f.code] = Load(f);
    return m;
  }();
  return files;
}

std::string TextOf(const std::string& line) {
  auto eq = line.rfind('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string KeyOf(const std::string& line) { return line.substr(0, line.find('=')); }

// The printf conversions of a text, in order ("%s", "%02ld", ...). A '%' that starts none is
// reported in `stray`.
std::vector<std::string> Conversions(const std::string& text, std::vector<std::size_t>& stray) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      found.push_back("%%");
      i = j;
      continue;
    }
    while (j < text.size() && std::string("-+ #0").find(text[j]) != std::string::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '*')) ++j;
    if (j < text.size() && text[j] == '.') {
      ++j;
      while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '*')) ++j;
    }
    while (j < text.size() && std::string("hlLzjt").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && std::string("diouxXeEfFgGaAcspn").find(text[j]) != std::string::npos) {
      found.push_back(text.substr(i, j - i + 1));
      i = j;
    } else {
      stray.push_back(i);
    }
  }
  return found;
}

bool DecodesAsUtf8WithMultiByte(const std::string& s) {
  bool multi = false;
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : -1;
    if (n < 0) return false;
    if (i + static_cast<std::size_t>(n) >= s.size()) return false;  // sequence cut by the end
    for (int k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    multi = multi || n > 0;
    i += static_cast<std::size_t>(n) + 1;
  }
  return multi;
}

TEST(LangFiles, Have201LfLinesEachWithAKey) {
  for (const auto& f : kFiles) {
    SCOPED_TRACE(f.code);
    const Parsed& p = Files().at(f.code);
    ASSERT_FALSE(p.bytes.empty()) << "missing or empty file";
    EXPECT_EQ(std::string::npos, p.bytes.find('\r'));
    EXPECT_EQ('\n', p.bytes.back()) << "the last line must end with a line feed";
    EXPECT_NE(0, p.bytes.compare(0, 3, "\xEF\xBB\xBF")) << "byte-order mark";
    ASSERT_EQ(static_cast<std::size_t>(kLines), p.lines.size());
    for (int n = 0; n < kLines; ++n) {
      const std::string& line = p.lines[static_cast<std::size_t>(n)];
      // A line without "=" would keep the previous language's text after a language change.
      ASSERT_NE(std::string::npos, line.find('=')) << "line " << n;
      std::string key = KeyOf(line);
      EXPECT_FALSE(key.empty()) << "line " << n;
      EXPECT_TRUE(std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
      })) << "line " << n << " key " << key;
    }
  }
}

TEST(LangFiles, KeysAreTheSameInEveryLanguage) {
  const Parsed& pol = Files().at("pol");
  ASSERT_EQ(static_cast<std::size_t>(kLines), pol.lines.size());
  for (const auto& f : kFiles) {
    const Parsed& p = Files().at(f.code);
    ASSERT_EQ(static_cast<std::size_t>(kLines), p.lines.size()) << f.code;
    for (std::size_t n = 0; n < pol.lines.size(); ++n)
      EXPECT_EQ(KeyOf(pol.lines[n]), KeyOf(p.lines[n])) << f.code << " line " << n;
  }
}

TEST(LangFiles, EveryUsedNumberHasATextThatFits) {
  for (const auto& f : kFiles) {
    SCOPED_TRACE(f.code);
    const Parsed& p = Files().at(f.code);
    ASSERT_EQ(static_cast<std::size_t>(kLines), p.lines.size());
    for (int n = 0; n < kLines; ++n) {
      std::string text = TextOf(p.lines[static_cast<std::size_t>(n)]);
      EXPECT_LE(text.size(), kMaxText) << "text " << n << " would be cut";
      if (IsUsed(n)) {
        EXPECT_NE(std::string::npos, text.find_first_not_of(' ')) << "text " << n << " is blank";
      }
    }
  }
}

TEST(LangFiles, AreSingleByteTextOfTheirCodePage) {
  for (const auto& f : kFiles) {
    SCOPED_TRACE(f.code);
    const std::string& bytes = Files().at(f.code).bytes;
    ASSERT_FALSE(bytes.empty());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      auto b = static_cast<unsigned char>(bytes[i]);
      bool undefined = f.codePage == 1251
                           ? b == 0x98
                           : (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98);
      EXPECT_FALSE(undefined) << "byte 0x" << std::hex << int{b} << " at offset " << std::dec << i;
      EXPECT_FALSE((b < 0x20 && b != '\n') || b == 0x7F) << "control byte at offset " << i;
    }
    // A file saved as UTF-8 by mistake would show every accented letter as two wrong ones.
    EXPECT_FALSE(DecodesAsUtf8WithMultiByte(bytes)) << "file is UTF-8, not code page " << f.codePage;
  }
  // Russian lives in 1251's letter block 0xC0..0xFF; a 1250 file would hardly have any there.
  const std::string& rus = Files().at("rus").bytes;
  auto cyrillic = std::count_if(rus.begin(), rus.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xC0; });
  EXPECT_GT(cyrillic, 1000);
}

TEST(LangFiles, FormatConversionsAgreeAndNoStrayPercent) {
  for (int n = 0; n < kLines; ++n) {
    std::vector<std::string> first;
    for (const auto& f : kFiles) {
      const Parsed& p = Files().at(f.code);
      ASSERT_EQ(static_cast<std::size_t>(kLines), p.lines.size()) << f.code;
      std::string text = TextOf(p.lines[static_cast<std::size_t>(n)]);
      std::vector<std::size_t> stray;
      auto conv = Conversions(text, stray);
      if (&f == &kFiles[0]) first = conv;
      EXPECT_EQ(first, conv) << f.code << " text " << n << " differs from Polish in its conversions";
      // The only literal '%' a text may carry is the per-cent unit "[%]".
      for (auto at : stray)
        EXPECT_TRUE(at > 0 && text[at - 1] == '[' && at + 1 < text.size() && text[at + 1] == ']')
            << f.code << " text " << n << ": stray '%' in \"" << text << "\"";
      if (std::find(std::begin(kFormatArguments), std::end(kFormatArguments), n) != std::end(kFormatArguments)) {
        EXPECT_EQ(std::string::npos, text.find('%')) << f.code << " text " << n << " is a format argument";
      }
    }
  }
}

// Windows-1250 bytes of the letters in the Polish template defaults, decoded to UTF-8.
std::string Polish1250ToUtf8(const std::string& s) {
  static const std::map<unsigned char, const char*> high = {
      {0xB9, "ą"}, {0xE6, "ć"}, {0xEA, "ę"}, {0xB3, "ł"}, {0xF1, "ń"}, {0xF3, "ó"}, {0x9C, "ś"},
      {0x9F, "ź"}, {0xBF, "ż"}, {0xA5, "Ą"}, {0xC6, "Ć"}, {0xCA, "Ę"}, {0xA3, "Ł"}, {0xD1, "Ń"},
      {0xD3, "Ó"}, {0x8C, "Ś"}, {0x8F, "Ź"}, {0xAF, "Ż"}, {0xB0, "°"}};
  std::string out;
  for (char c : s) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      auto it = high.find(b);
      out += it == high.end() ? "\xEF\xBF\xBD" : it->second;
    }
  }
  return out;
}

TEST(LangFiles, PolishTextsAreTheTemplateDefaults) {
  // The dialog templates carry these Polish texts; the Polish file sets the same ones, trailing
  // spaces included, so a control looks the same before and after the texts are applied.
  const std::map<int, std::string> defaults = {
      {35, "Sonda Lambda"}, {36, "Obroty"}, {37, "TPS"}, {38, "Emulator wtryskiwaczy"},
      {39, "Czujnik ilości gazu"}, {40, "Typ sondy Lambda"}, {41, "Punkt neutralny Lambdy"},
      {42, "Czas opóźnienia odczytu sondy Lambda"}, {43, "Typ emulacji sondy Lambda"},
      {44, "Czas emulacji stanu \"H\""}, {45, "Czas emulacji stanu \"L\""},
      {46, "Typ układu zapłonowego"}, {47, "Punkt przełączenia na gaz"},
      {48, "Przełączenie przy zmianie obrotów "}, {49, "Typ czujnika TPS"},
      {50, "Bezwładność TPS na biegu jałowym"}, {51, "Czas nakładania faz BENZYNA/GAZ"},
      {52, "Typ czujnika"}, {53, "[V]     "}, {54, "[min:sek]"}, {55, "[sek]"}, {56, "[sek]"},
      {57, "[obr/min]"}, {58, "[V]     "}, {59, "[sek]"}, {103, "OK"}, {124, "[V] "},
      {126, "[%]    "}, {128, "[°C]  "},
      {134, "PRZYWRÓCENIE USTAWIEŃ FABRYCZNYCH STEROWNIKA:"},
      {135, "-pamięć w urządzeniu zostanie zapisana wartościami  fabrycznymi."},
      {136, "ZRESETUJ   I   PRZYWRÓĆ USTAWIENIA FABRYCZNE"}, {142, "Kursor wartości"},
      {158, "Wersja programu: 3.08"}, {159, "Odczytana wersja sterownika:"}, {160, "Zamknij"},
      {185, "Niski poziom sygnału"}, {187, "Awaryjny rozruch silnika"},
      {188, "Wstępne otwarcie zaworu GAZU"}, {189, "Ustawienia fabryczne"},
      {191, "Numer rejestracyjny:"}, {192, "Czas pracy na Gazie [h]:"},
      {193, "Data montażu instalacji:"}, {194, "Rok:"}, {195, "Miesiąc:"}, {196, "Dzień:"},
      {197, "Zmień"}, {199, "Wykasuj"}};
  const Parsed& pol = Files().at("pol");
  ASSERT_EQ(static_cast<std::size_t>(kLines), pol.lines.size());
  for (const auto& [n, text] : defaults) {
    ASSERT_TRUE(IsUsed(n)) << n;
    EXPECT_EQ(text, Polish1250ToUtf8(TextOf(pol.lines[static_cast<std::size_t>(n)]))) << "text " << n;
  }
}

}  // namespace
