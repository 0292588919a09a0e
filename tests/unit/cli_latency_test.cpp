// The doctor's timing stage: what slow replies are put down to, and --fix-latency on a made-up
// machine whose adapter tells its latency timer.
#include <gtest/gtest.h>

#include "cli_test_platform.h"
#include "latency.h"

namespace kv::testing {
namespace {

using cli::AdapterInfo;
using cli::ExchangeTime;
using cli::LatencyChange;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// Four rounds as a 16 ms timer makes them (every exchange ends on the 16 ms grid), one of them
// slowed further by a busy computer.
std::vector<ExchangeTime> Rounds(const double (&ms)[5], double spike = 0) {
  std::vector<ExchangeTime> times;
  for (int round = 0; round < 4; ++round)
    for (int block = 1; block <= 5; ++block)
      times.push_back({block, ms[block - 1] + (round == 2 ? spike : 0)});
  return times;
}

TEST(CliLatency, TheFastestExchangeOfEachRequestDecides) {
  const cli::Timings adapter = cli::Summarise(Rounds({16, 32, 32, 32, 32}));
  EXPECT_DOUBLE_EQ(16, adapter.bestMs[1]);
  EXPECT_NEAR(11.2, adapter.excessMs, 0.1);  // Block 4: 32 against 20.8 on the wire
  EXPECT_TRUE(adapter.Slow());
  EXPECT_NEAR(20.8, adapter.SamplesPerSecond(), 0.1);

  // A plain line with the controller's 2 ms, and one round slowed by 40 ms.
  const cli::Timings line = cli::Summarise(Rounds({10.5, 17.8, 21, 23, 28.2}, 40));
  EXPECT_NEAR(2.2, line.excessMs, 0.1);
  EXPECT_FALSE(line.Slow());
}

struct AdviceCase {
  const char* what;
  AdapterInfo adapter;
  std::vector<std::string> says, saysNot;
};

TEST(CliLatency, SlowRepliesNameTheAdapterItsTimerAndTheFix) {
  const cli::Timings slow = cli::Summarise(Rounds({16, 32, 32, 32, 32}));
  const AdviceCase cases[] = {
      {"an adapter with a timer",
       {true, "FTDI FT232R USB UART (USB 0403:6001)", true, 16, "echo 1 | sudo tee /sys/x"},
       {"latency timer", "FT232R USB UART (USB 0403:6001), latency timer 16 ms",
        "Set it to 1 ms:\n  echo 1 | sudo tee /sys/x\n", "--fix-latency"},
       {}},
      {"its timer unreadable", {true, "FTDI", true, -1, "steps"},
       {"latency timer not readable", "Set it to 1 ms:\n  steps\n"}, {}},
      {"a port the system says nothing of", {false, "", false, -1, "generic steps"},
       {"does not say which adapter", "If it is a USB adapter", "timer to 1 ms:\n  generic steps"},
       {}},
      {"an adapter without a timer", {true, "Arduino Uno", false, -1, ""},
       {"has no latency timer to set"}, {"Set it to 1 ms", "--fix-latency"}},
  };
  for (const auto& c : cases) {
    const std::string text = Joined(cli::LatencyAdvice(slow, c.adapter));
    for (const auto& part : c.says) EXPECT_TRUE(Has(text, part)) << c.what << ": " << text;
    for (const auto& part : c.saysNot) EXPECT_FALSE(Has(text, part)) << c.what << ": " << text;
    EXPECT_TRUE(Has(text, "about 21 samples a second where the line allows 42")) << text;
  }
  EXPECT_TRUE(cli::LatencyAdvice(cli::Summarise(Rounds({10, 17, 21, 23, 28})), {}).empty());
}

struct FixCase {
  const char* what;
  AdapterInfo adapter;
  cli::LatencyResult result;
  int code;
  std::vector<int> sets;  // what SetLatencyTimer was asked for
  std::string says;
};

TEST(CliLatency, FixLatencySetsTheTimerWhereTheSystemAllowsAndTimesAgain) {
  const AdapterInfo ftdi{true, "FTDI FT232R", true, 16, "echo 1 | sudo tee x"};
  AdapterInfo atOne = ftdi, none{true, "Arduino Uno", false, -1, ""};
  atOne.latencyMs = 1;
  const FixCase cases[] = {
      {"set now", ftdi, {LatencyChange::Done, ""}, cli::kExitOk, {1},
       "set to 1 ms (was 16 ms). The replies timed again:\n      before:"},
      {"set for the next plug-in", ftdi, {LatencyChange::AfterReplug, "Unplug it."},
       cli::kExitOk, {1}, "set to 1 ms (was 16 ms). Unplug it."},
      {"not allowed", ftdi, {LatencyChange::NotAllowed, "Only root may: sudo x"},
       cli::kExitFile, {1}, "not set. Only root may: sudo x"},
      {"already 1 ms", atOne, {}, cli::kExitOk, {}, "already 1 ms"},
      {"no timer", none, {}, cli::kExitOk, {}, "this port has none"},
  };
  for (const auto& c : cases) {
    FakeCliPlatform m;
    m.adapter = c.adapter;
    m.latencyResult = c.result;
    const CliRun run = RunOn(m, {"-p", "COM1", "doctor", "--fix-latency"});
    EXPECT_EQ(c.code, run.code) << c.what << ": " << run.out << run.err;
    EXPECT_EQ(c.sets, m.latencySets) << c.what;
    EXPECT_TRUE(Has(run.out, c.says)) << c.what << ": " << run.out;
    EXPECT_TRUE(m.Writes().empty()) << c.what;  // nothing is written to the controller
  }
}

TEST(CliLatency, PlainDoctorSetsNothingAndSaysNothingOfLatencyOnAFastLine) {
  FakeCliPlatform m;
  m.adapter = {true, "FTDI FT232R", true, 16, "echo 1 | sudo tee x"};
  const CliRun run = RunOn(m, {"-p", "COM1", "doctor"});
  EXPECT_EQ(cli::kExitOk, run.code);
  EXPECT_TRUE(m.latencySets.empty());
  EXPECT_TRUE(Has(run.out, "7 replies come in their wire time  ok")) << run.out;
  EXPECT_FALSE(Has(run.out, "latency")) << run.out;
}

}  // namespace
}  // namespace kv::testing
