#include <gtest/gtest.h>

#include "link/slow_open.h"

namespace kv {
namespace {

TEST(SlowOpen, ASlowOpenHoldsOffTheSamePortForTenSecondsOnly) {
  SlowOpenHoldOff holdOff;
  EXPECT_TRUE(holdOff.MayOpen("COM1:", 0));
  // A quick open (even a failed one) holds nothing off.
  holdOff.Opened("COM1:", 1000, 1000 + kSlowOpenMs);
  EXPECT_TRUE(holdOff.MayOpen("COM1:", 2001));
  // A Bluetooth port that took 8 s to fail.
  holdOff.Opened("COM3:", 5000, 13000);
  const struct {
    const char* port;
    std::uint64_t at;
    bool may;
  } cases[] = {
      {"COM3:", 13000, false},
      {"COM3:", 13500, false},  // the next offline tick
      {"COM3:", 22999, false},
      {"COM3:", 23000, true},
      {"COM1:", 13500, true},  // another port is tried at once
  };
  for (const auto& c : cases) EXPECT_EQ(c.may, holdOff.MayOpen(c.port, c.at)) << c.port << c.at;
  // A quick open of another port ends the hold-off; a slow one moves it there.
  holdOff.Opened("COM1:", 13500, 13600);
  EXPECT_TRUE(holdOff.MayOpen("COM3:", 13700));
  holdOff.Opened("COM1:", 20000, 22000);
  EXPECT_FALSE(holdOff.MayOpen("COM1:", 22100));
  EXPECT_TRUE(holdOff.MayOpen("COM3:", 22100));
}

}  // namespace
}  // namespace kv
