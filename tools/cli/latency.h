// The doctor's last stage: each exchange timed against the bytes it puts on the wire, and what a
// USB serial adapter's latency timer looks like in those times.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform.h"

namespace kv::cli {

// Replies later than their wire time by this much point at a latency timer: a plain line, a
// controller's own thinking time and an adapter without such a timer stay within a few
// milliseconds, a timer of 8 ms or more does not. Each request's fastest exchange counts (a
// timer delays every one of them; a busy computer only some), and of the five requests the
// median.
inline constexpr double kLatencySuspectMs = 5;

// One request and its reply (block 1: identification) at 9600 baud, 10 bits a byte.
double WireMs(int block);

struct Timings {
  std::array<double, kBlockCount + 1> bestMs{};  // per block 1..5, the fastest; 0: not timed
  double excessMs = 0;                           // the median of best less wire time

  bool Slow() const { return excessMs >= kLatencySuspectMs; }
  // Identification and Block 2 back to back: the oscilloscope's samples a second.
  double SamplesPerSecond() const;
};

// Times `rounds` rounds of identification and Blocks 2..5 on an open, online link.
Timings TimeExchanges(Link& link, int rounds);
// The same from the times of single exchanges.
struct ExchangeTime {
  int block;  // 1: identification
  double ms;
};
Timings Summarise(const std::vector<ExchangeTime>& times);

// The lines that explain slow replies: what holds them, which adapter, its timer and how to set
// it to 1 ms (that one indented by two spaces, a command to copy whole). Nothing when the
// replies are not slow.
std::vector<std::string> LatencyAdvice(const Timings& timings, const AdapterInfo& adapter);

// "before ... after ..." of a change of the timer.
std::vector<std::string> BeforeAfter(const Timings& before, const Timings& after);

}  // namespace kv::cli
