#include "link/memory_image.h"

#include <algorithm>

#include "link/parameters.h"

namespace kv {

void MemoryImage::ReplaceBlock(int block, const std::uint8_t* bytes) {
  if (block < 1 || block > kBlockCount) return;
  std::copy_n(bytes, BlockLength(block), blocks[block - 1].begin());
}

ByteRef WriteTarget(int a) {
  const ParameterRow* row = RowByWriteAddress(a);
  return row ? row->byte : ByteRef{0, 0};
}

}  // namespace kv
