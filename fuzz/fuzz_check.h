// What every fuzz target shares: a check that stops the run (so libFuzzer keeps the input that
// broke it) and says which invariant failed.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                         \
  do {                                                                                \
    if (!(condition)) {                                                               \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)
