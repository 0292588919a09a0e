#include "json.h"

#include <cstdio>

namespace kv::cli {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F || c == '<') {  // '<': never "</script>" in a page
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace kv::cli
