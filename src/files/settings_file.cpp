#include "files/settings_file.h"

#include <algorithm>

namespace kv {
namespace {

constexpr std::string_view kHeader[kBs2HeaderCount] = {"[Tolmar_KV720+]", "Version=3",
                                                       "[Configuration]"};
constexpr std::string_view kLastKey = "NULL";

std::array<std::string, kBs2TextCount> BuildExpectedTexts() {
  std::array<std::string, kBs2TextCount> texts;
  for (std::size_t i = 0; i < kBs2HeaderCount; ++i) texts[i] = kHeader[i];
  for (std::size_t k = 0; k < kBs2ValueCount; ++k) {
    const std::string_view key = k < kSettingsCount ? Row(static_cast<Param>(k)).name : kLastKey;
    texts[kBs2HeaderCount + k] = std::string(key) + "=";
  }
  return texts;
}

// The whitespace of a formatted read: space, tab, line feed, vertical tab, form feed, CR.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Splits the text into whitespace-separated tokens, one at a time.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : text_(text) {}

  // The next token, or an empty view at the end of the text.
  std::string_view Next() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A value token: decimal digits only, 0..255 (leading zeros allowed, however many).
bool ParseValue(std::string_view token, std::uint8_t& value) {
  if (token.empty()) return false;
  unsigned number = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
    if (number > 255) return false;
  }
  value = static_cast<std::uint8_t>(number);
  return true;
}

}  // namespace

const std::array<std::string, kBs2TextCount>& Bs2ExpectedTexts() {
  static const std::array<std::string, kBs2TextCount> texts = BuildExpectedTexts();
  return texts;
}

std::size_t Bs2LongestText() {
  std::size_t longest = 0;
  for (const std::string& text : Bs2ExpectedTexts()) longest = std::max(longest, text.size());
  return longest;
}

Bs2Values Bs2ValuesFromImage(const MemoryImage& image) {
  Bs2Values values{};  // "NULL=" stays 0
  for (std::size_t k = 0; k < kSettingsCount; ++k) values[k] = Get(image, static_cast<Param>(k));
  return values;
}

std::string Bs2Text(const Bs2Values& values) {
  const auto& texts = Bs2ExpectedTexts();
  std::string out;
  for (std::size_t i = 0; i < kBs2HeaderCount; ++i) out += texts[i] + "\n";
  for (std::size_t k = 0; k < kBs2ValueCount; ++k)
    out += texts[kBs2HeaderCount + k] + " " + std::to_string(values[k]) + "\n";
  return out;
}

Bs2Content ParseBs2(std::string_view text) {
  const auto& texts = Bs2ExpectedTexts();
  const std::size_t longest = Bs2LongestText();
  Bs2Content content;
  Tokens tokens(text);
  for (std::size_t i = 0; i < kBs2TextCount; ++i) {
    content.badLine = static_cast<int>(i + 1);
    // An over-long token is refused before it is compared (it can equal no expected text).
    const std::string_view token = tokens.Next();
    if (token.size() > longest || token != texts[i]) return content;
    if (i >= kBs2HeaderCount && !ParseValue(tokens.Next(), content.values[i - kBs2HeaderCount]))
      return content;
  }
  content.valid = true;
  content.badLine = 0;
  return content;
}

}  // namespace kv
