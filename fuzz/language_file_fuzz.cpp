// A language file as any bytes, read in either code page: every text stays valid UTF-8 of at
// most 127 characters without a line end or "=", and a file without "=" changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/code_page.h"
#include "files/language.h"
#include "fuzz_check.h"

namespace {

std::size_t CodePoints(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the code page; the rest is the file.
  const kv::CodePage page = data[0] & 1 ? kv::CodePage::Windows1251 : kv::CodePage::Windows1250;
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

  kv::LanguageTexts texts;
  for (int n = 0; n < kv::kLanguageTextCount; ++n) texts.text[n] = "before " + std::to_string(n);
  const kv::LanguageTexts before = texts;
  kv::ApplyLanguageFile(texts, file, page);

  for (const std::string& text : texts.text) {
    FUZZ_CHECK(kv::ValidUtf8(text) == text);
    FUZZ_CHECK(CodePoints(text) <= kv::kLanguageTextMax);
    FUZZ_CHECK(text.find_first_of("\r\n=") == std::string::npos);
  }
  if (file.find('=') == std::string_view::npos) FUZZ_CHECK(texts.text == before.text);
  // Reading the same file again changes nothing more.
  kv::LanguageTexts twice = texts;
  kv::ApplyLanguageFile(twice, file, page);
  FUZZ_CHECK(twice.text == texts.text);
  return 0;
}
