// The language text table: 201 texts of the current language file, by line number.
#pragma once

#include <array>
#include <string>

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

}  // namespace kv
