// The settings file (.bs2): one controller's settings as text, so a fitter can copy one car's
// settings to another. Three header lines, then the 33 keys of the file in the parameter table's
// order, each "key= value" in decimal, the last one "NULL=" (always 0, never sent):
//
//   [Tolmar_KV720+]
//   Version=3
//   [Configuration]
//   Options= 0
//   ...
//   NULL= 0
//
// Files written by other installations must load here and ours there, so the text is exact.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/parameters.h"

namespace kv {

inline constexpr std::size_t kBs2HeaderCount = 3;
// The 32 settings, then "NULL=".
inline constexpr std::size_t kBs2ValueCount = kSettingsCount + 1;
inline constexpr std::size_t kBs2TextCount = kBs2HeaderCount + kBs2ValueCount;  // 36
// A file is read up to this many bytes; a valid one is well under 1 KiB, and whatever follows
// the "NULL=" value is never looked at.
inline constexpr std::size_t kBs2ReadLimit = 1 << 20;

// Value k belongs to key k: Param(k) for k < 32, then "NULL=".
using Bs2Values = std::array<std::uint8_t, kBs2ValueCount>;

// The header lines and the keys with their "=", in file order.
const std::array<std::string, kBs2TextCount>& Bs2ExpectedTexts();
// The length of the longest expected text: a longer token matches none of them.
std::size_t Bs2LongestText();

// The values Save As writes: each setting's byte of the memory image, and 0 for "NULL=".
Bs2Values Bs2ValuesFromImage(const MemoryImage& image);

// The whole file: "%s\n" for each header line, "%s %d\n" for each key and value, LF line ends.
std::string Bs2Text(const Bs2Values& values);

// What a file holds: its 33 values, or the line where it first differs from the format.
struct Bs2Content {
  bool valid = false;
  Bs2Values values{};  // meaningful only when valid
  int badLine = 0;  // when not valid: 1..36, the line (as Save As writes them) that differs
};

// Reads a file's bytes. Tokens are separated by any whitespace, line ends of either kind
// included (so CR LF files load). The 36 tokens must equal the expected texts exactly, in order,
// each key followed by its value: a plain decimal number 0..255 (leading zeros allowed; a sign,
// a fraction, anything else or a larger number is a mismatch, never a truncated byte). A file
// that ends early is a mismatch; whatever follows the "NULL=" value is ignored.
Bs2Content ParseBs2(std::string_view text);

}  // namespace kv
