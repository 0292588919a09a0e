// The two single-byte code pages of the language files: 1250 (Central European) and 1251
// (Cyrillic). Texts are converted to UTF-8 when they are loaded, so the wide Win32 APIs show them
// right whatever the locale of the Windows they run on.
#pragma once

#include <string>
#include <string_view>

namespace kv {

enum class CodePage { Windows1250, Windows1251 };

// The code page of a language's text file: 1251 for "rus", 1250 for every other code.
CodePage CodePageForLanguage(std::string_view languageCode);

// Bytes of the code page to UTF-8. Bytes the code page leaves undefined become U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage page);

// The bytes as valid UTF-8: every byte that does not belong to a well-formed sequence (stray
// continuation bytes, truncated or over-long sequences, surrogates, values past U+10FFFF) becomes
// U+FFFD. Windows' conversions of paths to UTF-16 throw or fail on anything else.
std::string ValidUtf8(std::string_view bytes);

}  // namespace kv
