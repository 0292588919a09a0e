// Text goes to a Windows console as UTF-16, converted a chunk at a time: a chunk must not end
// inside a character's UTF-8 bytes, or both halves would show as replacement marks.
#pragma once

#include <cstddef>
#include <string_view>

namespace kv::cli {

// The length of the longest start of `bytes` that does not end inside a UTF-8 sequence; the
// bytes after it wait for the rest of their character. Bytes that are no UTF-8 at all pass.
std::size_t CompleteUtf8Length(std::string_view bytes);

}  // namespace kv::cli
