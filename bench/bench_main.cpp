#include <cstdio>

#include "bench.h"

namespace kv::bench {
std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}
}  // namespace kv::bench

int main() {
  for (const auto& entry : kv::bench::Registry()) {
    std::printf("== %s\n", entry.name);
    std::fflush(stdout);
    entry.run();
  }
  return 0;
}
