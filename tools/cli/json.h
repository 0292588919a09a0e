// Just enough JSON for `read --json`: quoted strings and numbers that are already decimal text.
#pragma once

#include <string>
#include <string_view>

namespace kv::cli {

// A JSON string literal: quotes, backslashes, control characters and '<' (so that it may stand
// inside an HTML script element) escaped, UTF-8 kept.
std::string JsonString(std::string_view text);

}  // namespace kv::cli
