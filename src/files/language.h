// The language text table: 201 texts of the current language file, by line number.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "files/code_page.h"

namespace kv {

inline constexpr int kLanguageTextCount = 201;
inline constexpr std::size_t kLanguageTextMax = 127;

struct LanguageTexts {
  std::array<std::string, kLanguageTextCount> text;  // UTF-8, converted from the file's code page

  // Text n, or an empty text for a number outside the table.
  const std::string& operator[](int n) const {
    static const std::string empty;
    return (n >= 0 && n < kLanguageTextCount) ? text[static_cast<std::size_t>(n)] : empty;
  }
};

// Applies the bytes of a language file to the table. Line n (from 0) sets text n to what follows
// the last "=" of the line, cut at 127 characters; a line without "=" leaves text n as it was;
// lines past 200 are ignored. CR LF, LF and a lone CR each end a line, so no carriage return is
// ever kept.
void ApplyLanguageFile(LanguageTexts& texts, std::string_view content, CodePage page);

// A language code names a file beside the program, so only codes of 1 to 63 plain letters (A-Z,
// a-z) may: anything else, path characters or bytes of another code page included, is an
// unknown code without a file (Polish menu bar, texts unchanged).
bool LanguageCodeNamesFile(std::string_view languageCode);

// The language file of a code, "Lang/KV720_lang." + code under the start directory (UTF-8 path);
// empty for a code that names no file.
std::string LanguageFilePath(const std::string& startDirectory, std::string_view languageCode);

// Fills the table from the file of the code. A file that cannot be read, or a code that names
// none, leaves the table as it was (the previous language's texts, or empty ones at start) and
// returns false. Only the file's first kLanguageFileLimit bytes are read (a language file holds
// about 9 KB): a wrong file of any size costs no more.
inline constexpr std::size_t kLanguageFileLimit = 1024 * 1024;
bool LoadLanguageTexts(LanguageTexts& texts, const std::string& startDirectory,
                       std::string_view languageCode);

// The languages the program offers and what each one chooses: its menu item and menu bar, its
// flags, and the wiring picture it shows.
struct LanguageEntry {
  std::string_view code;
  int item;             // Language menu item
  int menu;             // menu bar resource
  int bitmapUnchecked;  // item bitmaps, without and with the check mark
  int bitmapChecked;
  int schemaPicture;
};
inline constexpr int kLanguageCount = 5;
std::span<const LanguageEntry> Languages();
// The row of a code; any unknown code gets the Polish item and menu and the English picture.
LanguageEntry LanguageEntryOf(std::string_view code);

}  // namespace kv
