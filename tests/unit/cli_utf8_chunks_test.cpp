// The console gets whole characters only: a chunk of output never ends inside a UTF-8 sequence.
#include <gtest/gtest.h>

#include "utf8_chunks.h"

namespace kv::cli {
namespace {

TEST(CliUtf8Chunks, AChunkEndsBeforeAnUnfinishedCharacter) {
  const struct {
    const char* bytes;
    std::size_t complete;
  } cases[] = {
      {"", 0},
      {"30 \xC2\xB0" "C", 6},             // "30 °C": whole
      {"30 \xC2", 3},                     // the degree sign's first byte waits
      {"\xD0\x9F\xD1", 2},                // Cyrillic: one whole letter, the next begun
      {"\xE2\x80\xA6", 3},                // an ellipsis, whole
      {"a\xE2\x80", 1},                   // two of its three bytes
      {"\xF0\x9F\x9A\x97", 4},            // four bytes, whole
      {"\xF0\x9F\x9A", 0},                // three of four
      {"\x80\x80\x80\x80\x80", 5},        // no lead byte near the end: nothing to wait for
      {"ab\xFF", 3},                      // not UTF-8 at all: passes
  };
  for (const auto& c : cases) EXPECT_EQ(c.complete, CompleteUtf8Length(c.bytes)) << c.bytes;
}

}  // namespace
}  // namespace kv::cli
