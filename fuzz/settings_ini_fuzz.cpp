// KV720.ini as any bytes: the reader stays bounded, what it keeps is what a file could have
// said, and a code it keeps can only name a file beside the program when it is a plain word.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/code_page.h"
#include "files/language.h"
#include "files/settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const kv::SettingsFileValues values = kv::ParseSettingsFile(text);

  const std::string& code = values.languageCode;
  FUZZ_CHECK(!code.empty() && code.size() <= kv::kLanguageCodeMax);
  for (char c : code) FUZZ_CHECK(!std::isspace(static_cast<unsigned char>(c)));  // one token
  FUZZ_CHECK(values.port >= -99999 && values.port <= 99999);
  // The file the program writes back reads as the same values.
  const kv::SettingsFileValues again =
      kv::ParseSettingsFile(kv::FormatSettingsFile(values.port, code));
  FUZZ_CHECK(again.port == values.port && again.languageCode == code);

  // A code names a file only as plain letters, and its path then ends in exactly that code.
  const std::string path = kv::LanguageFilePath("/start", code);
  FUZZ_CHECK(path.empty() == !kv::LanguageCodeNamesFile(code));
  if (!path.empty()) FUZZ_CHECK(path.size() > code.size() && path.ends_with("." + code));
  FUZZ_CHECK(kv::ValidUtf8(kv::ValidUtf8(code)) == kv::ValidUtf8(code));
  return 0;
}
