// A settings file (.bs2) as any bytes: a mismatch names a line of the format, and a file the
// reader accepts says, token by token, exactly the header, the keys and the values it returns
// (so no value is ever truncated or invented), and those values save and load back unchanged.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/settings_file.h"
#include "fuzz_check.h"

namespace {

std::vector<std::string_view> Tokens(std::string_view text, std::size_t count) {
  std::vector<std::string_view> tokens;
  std::size_t at = 0;
  while (tokens.size() < count) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (at == text.size()) break;
    const std::size_t start = at;
    while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    tokens.push_back(text.substr(start, at - start));
  }
  return tokens;
}

// A value token as the file may write it: decimal digits, leading zeros allowed.
bool SaysNumber(std::string_view token, unsigned value) {
  while (token.size() > 1 && token[0] == '0') token.remove_prefix(1);
  return token == std::to_string(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const kv::Bs2Content content = kv::ParseBs2(text);
  if (!content.valid) {
    FUZZ_CHECK(content.badLine >= 1 && content.badLine <= static_cast<int>(kv::kBs2TextCount));
    return 0;
  }
  const auto& expected = kv::Bs2ExpectedTexts();
  const auto tokens = Tokens(text, kv::kBs2HeaderCount + 2 * kv::kBs2ValueCount);
  FUZZ_CHECK(tokens.size() == kv::kBs2HeaderCount + 2 * kv::kBs2ValueCount);
  for (std::size_t i = 0; i < kv::kBs2HeaderCount; ++i) FUZZ_CHECK(tokens[i] == expected[i]);
  for (std::size_t k = 0; k < kv::kBs2ValueCount; ++k) {
    FUZZ_CHECK(tokens[kv::kBs2HeaderCount + 2 * k] == expected[kv::kBs2HeaderCount + k]);
    FUZZ_CHECK(SaysNumber(tokens[kv::kBs2HeaderCount + 2 * k + 1], content.values[k]));
  }
  const kv::Bs2Content again = kv::ParseBs2(kv::Bs2Text(content.values));
  FUZZ_CHECK(again.valid && again.values == content.values);
  return 0;
}
