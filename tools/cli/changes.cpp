#include "changes.h"

#include <cstdio>

#include "decode.h"

namespace kv::cli {
namespace {

// The fields that differ, "a -> b" each; all of them when none does (two bytes that show alike,
// such as ignition types 0 and 1, which the panel both shows as the first item).
std::string DecodedChange(const Decoding& from, const Decoding& to) {
  std::string out;
  for (std::size_t i = 0; i < from.size() && i < to.size(); ++i) {
    const std::string a = from[i].Shown(), b = to[i].Shown();
    if (a == b) continue;
    Field plain = to[i];
    plain.label.clear();
    out += (out.empty() ? "" : "; ") + a + " -> " + plain.Shown();
  }
  return out.empty() ? ShownDecoding(from) + " -> " + ShownDecoding(to) : out;
}

}  // namespace

std::vector<std::string> ChangeLines(const MemoryImage& from, const MemoryImage& to,
                                     const LanguageTexts& english) {
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < kSettingsCount; ++k) {
    const ParameterRow& row = kParameters[k];
    const unsigned a = Get(from, row.param), b = Get(to, row.param);
    if (a == b) continue;
    char head[64];
    std::snprintf(head, sizeof head, "%-14s %3u -> %3u  ", std::string(row.name).c_str(), a, b);
    lines.push_back(head + DecodedChange(DecodeSetting(row.param, from, english),
                                         DecodeSetting(row.param, to, english)));
  }
  return lines;
}

}  // namespace kv::cli
