#include <cstdio>
#include <cstring>

#include "bench.h"

namespace kv::bench {
std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}
}  // namespace kv::bench

// `kv720-bench WORD` runs only the figures whose name contains WORD.
int main(int argc, char** argv) {
  for (const auto& entry : kv::bench::Registry()) {
    if (argc > 1 && !std::strstr(entry.name, argv[1])) continue;
    std::printf("== %s\n", entry.name);
    std::fflush(stdout);
    entry.run();
  }
  return 0;
}
