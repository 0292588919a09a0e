// `make bench`: each file registers its figures with KV720_BENCH; main runs them in order of
// registration and prints one line per figure.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace kv::bench {

using BenchFunction = void (*)();
struct Entry {
  const char* name;
  BenchFunction run;
};
std::vector<Entry>& Registry();
struct Registrar {
  Registrar(const char* name, BenchFunction run) { Registry().push_back({name, run}); }
};

// CPU time of the process in microseconds.
inline double CpuMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}
inline double WallMilliseconds() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// One byte at 9600 baud, 8N1: ten bits.
inline constexpr double kWireMsPerByte = 10.0 / 9600.0 * 1000.0;

}  // namespace kv::bench

#define KV720_BENCH(name, function) \
  static const ::kv::bench::Registrar kv720_bench_##function{name, function}
