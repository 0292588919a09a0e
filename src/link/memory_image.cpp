#include "link/memory_image.h"

#include <algorithm>

namespace kv {

void MemoryImage::ReplaceBlock(int block, const std::uint8_t* bytes) {
  if (block < 1 || block > kBlockCount) return;
  std::copy_n(bytes, BlockLength(block), blocks[block - 1].begin());
}

ByteRef WriteTarget(int a) {
  if (a >= 5 && a <= 11) return {3, static_cast<std::size_t>(a - 4)};
  if (a == 12 || a == 13) return {5, static_cast<std::size_t>(a - 6)};
  if (a == 14 || a == 15) return {3, static_cast<std::size_t>(a - 4)};
  if (a == 16 || a == 17) return {4, static_cast<std::size_t>(a - 15)};
  if (a == 18) return {2, 4};
  if (a >= 19 && a <= 28) return {4, static_cast<std::size_t>(a - 16)};
  if (a == 29) return {3, 12};
  if (a == 31 || a == 32) return {4, static_cast<std::size_t>(a - 18)};
  if (a >= 33 && a <= 36) return {5, static_cast<std::size_t>(a - 32)};
  if (a == 37) return {3, 8};
  if (a == 38 || a == 39) return {5, static_cast<std::size_t>(a - 29)};
  if (a == 40 || a == 41) return {5, static_cast<std::size_t>(a - 29)};
  if (a >= 42 && a <= 48) return {5, static_cast<std::size_t>(a - 29)};
  if (a == 49) return {5, 8};
  return {0, 0};
}

}  // namespace kv
