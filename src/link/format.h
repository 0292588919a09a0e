// printf-style text for list items and fields; every format used is short and fixed, and a
// longer result is cut, never overrun.
#pragma once

#include <cstdio>
#include <string>

namespace kv {

template <typename... Args>
std::string FormatText(const char* format, Args... args) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

}  // namespace kv
