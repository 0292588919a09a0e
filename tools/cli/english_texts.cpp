#include "english_texts.h"

#include <cstddef>
#include <string_view>

namespace kv::cli {

// Generated at build time from Lang/KV720_lang.ang.
extern const unsigned char kEnglishLanguageFile[];
extern const std::size_t kEnglishLanguageFileSize;

const LanguageTexts& EnglishTexts() {
  static const LanguageTexts texts = [] {
    LanguageTexts t;
    const std::string_view file(reinterpret_cast<const char*>(kEnglishLanguageFile),
                                kEnglishLanguageFileSize);
    ApplyLanguageFile(t, file, CodePageForLanguage("ang"));
    return t;
  }();
  return texts;
}

}  // namespace kv::cli
