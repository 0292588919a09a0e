// What differs between two sets of settings, decoded: load shows the controller against a file,
// diff one file against another.
#pragma once

#include <string>
#include <vector>

#include "files/language.h"
#include "link/memory_image.h"

namespace kv::cli {

// One line per setting whose byte differs, in file order:
//   "LPGOnRPMLo     76 -> 100  2000 rpm -> 1500 rpm"
//   "Options        42 -> 106  Return to petrol above: off -> on"
// (a bit set names only the fields that changed).
std::vector<std::string> ChangeLines(const MemoryImage& from, const MemoryImage& to,
                                     const LanguageTexts& english);

}  // namespace kv::cli
