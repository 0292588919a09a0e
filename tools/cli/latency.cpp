#include "latency.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kv::cli {
namespace {

std::string Format(const char* format, double a, double b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string TimerText(const AdapterInfo& adapter) {
  if (!adapter.latencyTimer) return "no latency timer";
  if (adapter.latencyMs < 0) return "latency timer not readable";
  return "latency timer " + std::to_string(adapter.latencyMs) + " ms";
}

}  // namespace

double WireMs(int block) {
  return (4 + static_cast<double>(BlockLength(block))) * 10 * 1000 / 9600;
}

double Timings::SamplesPerSecond() const {
  const double sample = bestMs[1] + bestMs[2];
  return sample > 0 ? 1000 / sample : 0;
}

Timings Summarise(const std::vector<ExchangeTime>& times) {
  Timings t;
  for (const ExchangeTime& e : times) {
    if (e.block < 1 || e.block > kBlockCount) continue;
    double& best = t.bestMs[static_cast<std::size_t>(e.block)];
    if (best == 0 || e.ms < best) best = e.ms;
  }
  std::vector<double> excess;
  for (int block = 1; block <= kBlockCount; ++block)
    if (const double best = t.bestMs[static_cast<std::size_t>(block)]; best > 0)
      excess.push_back(best - WireMs(block));
  if (!excess.empty()) {
    std::sort(excess.begin(), excess.end());
    const std::size_t n = excess.size();
    t.excessMs = n % 2 ? excess[n / 2] : (excess[n / 2 - 1] + excess[n / 2]) / 2;
  }
  return t;
}

// A missed reply counts too: it takes its whole read timeout, which no fastest exchange is.
Timings TimeExchanges(Link& link, int rounds) {
  using Clock = std::chrono::steady_clock;
  std::vector<ExchangeTime> times;
  for (int round = 0; round < rounds; ++round) {
    for (int block = 1; block <= kBlockCount; ++block) {
      const auto start = Clock::now();
      if (block == 1) Identify(link);
      else ReadBlock(link, block);
      const std::chrono::duration<double, std::milli> took = Clock::now() - start;
      times.push_back({block, took.count()});
    }
  }
  return Summarise(times);
}

std::vector<std::string> LatencyAdvice(const Timings& t, const AdapterInfo& adapter) {
  if (!t.Slow()) return {};
  std::vector<std::string> lines;
  lines.push_back(Format("The replies come %.0f ms later than the line needs, and the panels show "
                         "about %.0f samples a second",
                         t.excessMs, t.SamplesPerSecond()) +
                  Format(" where the line allows %.0f.", 1000 / (WireMs(1) + WireMs(2))));
  if (adapter.known && !adapter.latencyTimer) {
    lines.push_back("This port (" + adapter.name + ") has no latency timer to set: the delay is "
                    "the adapter's own or the controller's.");
    return lines;
  }
  lines.push_back("That is how a USB serial adapter with a latency timer works: it passes on what "
                  "it receives only when its timer runs out (16 ms unless set otherwise), so "
                  "every reply waits for it. At 1 ms the wait all but goes.");
  lines.push_back(adapter.known ? "Adapter: " + adapter.name + ", " + TimerText(adapter) + "."
                                : "The system does not say which adapter this port is.");
  if (!adapter.setToOne.empty()) {
    lines.push_back(adapter.known ? "Set it to 1 ms:"
                                  : "If it is a USB adapter (kv720-cli ports names it), set its "
                                    "timer to 1 ms:");
    lines.push_back("  " + adapter.setToOne);
  }
  lines.push_back("kv720-cli doctor --fix-latency sets it where the system allows.");
  return lines;
}

std::vector<std::string> BeforeAfter(const Timings& before, const Timings& after) {
  const auto line = [](const char* when, const Timings& t) {
    return std::string(when) + Format(" %5.1f ms late a reply, about %.0f oscilloscope samples a second",
                  t.excessMs, t.SamplesPerSecond());
  };
  return {line("before:", before), line("after: ", after)};
}

}  // namespace kv::cli
