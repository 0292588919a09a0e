// The two single-byte code pages of the language files: 1250 (Central European) and 1251
// (Cyrillic). Texts are converted to UTF-8 when they are loaded, so the wide Win32 APIs show them
// right whatever the locale of the Windows they run on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct MemoryImage;

enum class CodePage { Windows1250, Windows1251 };

// The code page of a language's text file: 1251 for "rus", 1250 for every other code.
CodePage CodePageForLanguage(std::string_view languageCode);

// Bytes of the code page to UTF-8. Bytes the code page leaves undefined become U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage page);

// The bytes as valid UTF-8: every byte that does not belong to a well-formed sequence (stray
// continuation bytes, truncated or over-long sequences, surrogates, values past U+10FFFF) becomes
// U+FFFD. Windows' conversions of paths to UTF-16 throw or fail on anything else.
std::string ValidUtf8(std::string_view bytes);

// The byte of a character in the code page, or nothing when the page cannot hold it (U+0000
// included: it would end a zero-terminated text).
std::optional<unsigned char> ByteOf(char32_t c, CodePage page);
// UTF-8 to bytes of the code page; nothing when the text is not UTF-8 or holds a character the
// page cannot hold, so no character is ever stored as another one.
std::optional<std::string> FromUtf8(std::string_view utf8, CodePage page);

// Block 5 bytes 13..19 up to the first zero, shown in the code page of the language's texts.
std::string RegistrationText(const MemoryImage& image, CodePage page);

}  // namespace kv
