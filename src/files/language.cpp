#include "files/language.h"

#include "files/file_store.h"
#include "files/settings.h"
#include "resource.h"
#include "schema_ids.h"

namespace kv {
namespace {

constexpr LanguageEntry kLanguages[kLanguageCount] = {
    {"pol", CMD_LANG_POL, IDM_MENU_POL, IDB_FLAG_POL, IDB_FLAG_POL_CHECKED, IDB_SCHEMA_POL},
    {"ang", CMD_LANG_ANG, IDM_MENU_ANG, IDB_FLAG_ANG, IDB_FLAG_ANG_CHECKED, IDB_SCHEMA_ANG},
    {"rus", CMD_LANG_RUS, IDM_MENU_RUS, IDB_FLAG_RUS, IDB_FLAG_RUS_CHECKED, IDB_SCHEMA_RUS},
    {"lit", CMD_LANG_LIT, IDM_MENU_LIT, IDB_FLAG_LIT, IDB_FLAG_LIT_CHECKED, IDB_SCHEMA_LIT},
    {"ita", CMD_LANG_ITA, IDM_MENU_ITA, IDB_FLAG_ITA, IDB_FLAG_ITA_CHECKED, IDB_SCHEMA_ANG},
};

}  // namespace

void ApplyLanguageFile(LanguageTexts& texts, std::string_view content, CodePage page) {
  std::size_t line = 0;
  bool inText = false;
  std::string raw;  // the text of the current line in the file's code page

  // A line that held "=" replaces its text; one without leaves the old text standing.
  auto endLine = [&] {
    if (inText && line < texts.text.size()) texts.text[line] = ToUtf8(raw, page);
    ++line;
    inText = false;
    raw.clear();
  };

  // CR LF, LF and a lone CR (files saved with old Mac line ends) each end one line.
  bool afterCarriageReturn = false;
  for (char c : content) {
    const bool lfOfCrLf = c == '\n' && afterCarriageReturn;
    afterCarriageReturn = c == '\r';
    if (lfOfCrLf) continue;
    if (c == '\n' || c == '\r') {
      endLine();
    } else if (c == '=') {
      raw.clear();
      inText = true;
    } else if (inText && raw.size() < kLanguageTextMax) {
      raw += c;
    }
  }
  endLine();  // the last line may lack its newline
}

bool LanguageCodeNamesFile(std::string_view languageCode) {
  if (languageCode.empty() || languageCode.size() > kLanguageCodeMax) return false;
  for (char c : languageCode)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

std::string LanguageFilePath(const std::string& startDirectory, std::string_view languageCode) {
  if (!LanguageCodeNamesFile(languageCode)) return {};
  std::string name = "KV720_lang.";
  name += languageCode;
  return PathInStartDirectory(startDirectory, {"Lang", name});
}

bool LoadLanguageTexts(LanguageTexts& texts, const std::string& startDirectory,
                       std::string_view languageCode) {
  const std::string path = LanguageFilePath(startDirectory, languageCode);
  std::string content;
  if (path.empty() || !SystemFileStore().Read(path, kLanguageFileLimit, content)) return false;
  ApplyLanguageFile(texts, content, CodePageForLanguage(languageCode));
  return true;
}

std::span<const LanguageEntry> Languages() { return kLanguages; }

LanguageEntry LanguageEntryOf(std::string_view code) {
  for (const LanguageEntry& language : kLanguages)
    if (language.code == code) return language;
  LanguageEntry other = kLanguages[0];
  other.code = code;
  other.schemaPicture = IDB_SCHEMA_ANG;
  return other;
}

}  // namespace kv
