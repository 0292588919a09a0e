#include <gtest/gtest.h>

#include "link/value_texts.h"

namespace kv {
namespace {

TEST(ValueTexts, RoundHalfDownRoundsOnlyAboveOneHalf) {
  EXPECT_EQ(12, RoundHalfDown(12.5));
  EXPECT_EQ(13, RoundHalfDown(12.51));
  EXPECT_EQ(12, RoundHalfDown(12.0));
  EXPECT_EQ(-1, RoundHalfDown(-1.7));  // negatives truncate toward zero
}

TEST(ValueTexts, SpeedFromPeriod) {
  EXPECT_EQ(4000u, SpeedFromPeriod(3750 >> 8, 3750 & 0xFF));
  EXPECT_EQ(600u, SpeedFromPeriod(24000 >> 8, 24000 & 0xFF));  // 12.5 rounds down
  EXPECT_EQ(250u, SpeedFromPeriod(255, 255));
  EXPECT_EQ(15000000u, SpeedFromPeriod(0, 1));
  EXPECT_EQ(0u, SpeedFromPeriod(0, 0));
  EXPECT_EQ(2500u, SpeedFromPeriod(0x17, 0x70));  // 6000
  for (unsigned p = 1; p < 65536; p += 97) EXPECT_EQ(0u, SpeedFromPeriod(p >> 8, p & 255) % 50);
}

TEST(ValueTexts, TemperatureBothWays) {
  EXPECT_EQ(0, TemperatureFromRaw(0));
  EXPECT_EQ(0, TemperatureFromRaw(67));
  EXPECT_EQ(12, TemperatureFromRaw(100));
  EXPECT_EQ(51, TemperatureFromRaw(199));
  EXPECT_EQ(51, TemperatureFromRaw(200));
  EXPECT_EQ(100, TemperatureFromRaw(246));
  EXPECT_EQ(101, TemperatureFromRaw(247));
  EXPECT_EQ(110, TemperatureFromRaw(255));

  EXPECT_EQ(68u, TemperatureToRaw(0));
  EXPECT_EQ(94u, TemperatureToRaw(10));
  EXPECT_EQ(145u, TemperatureToRaw(30));
  EXPECT_EQ(197u, TemperatureToRaw(50));
  EXPECT_EQ(201u, TemperatureToRaw(52));
  EXPECT_EQ(208u, TemperatureToRaw(60));
  EXPECT_EQ(245u, TemperatureToRaw(101));
  EXPECT_EQ(0u, TemperatureToRaw(-1000));  // never wraps into a hot byte
  for (long t = 10; t <= 60; t += 2) EXPECT_EQ(t, TemperatureFromRaw(TemperatureToRaw(t))) << t;
}

TEST(ValueTexts, TemperatureTextClampsButShowsAllDigits) {
  EXPECT_EQ("00", TemperatureText(0));
  EXPECT_EQ("12", TemperatureText(100));
  EXPECT_EQ("100", TemperatureText(246));
  EXPECT_EQ("100", TemperatureText(255));
}

TEST(ValueTexts, HighByte) {
  EXPECT_EQ(0x17u, HighByte(6000));
  EXPECT_EQ(0u, HighByte(255));
  EXPECT_EQ(0xFFu, HighByte(0x12FF00));
}

TEST(ValueTexts, LambdaPointListHasThreeFormsByProbeType) {
  const auto zero = LambdaPointItems(0);
  ASSERT_EQ(11u, zero.size());
  EXPECT_EQ("0,42", zero[1]);
  const auto five = LambdaPointItems(5);
  ASSERT_EQ(16u, five.size());
  EXPECT_EQ("1,00", five[0]);
  EXPECT_EQ("1,20", five[10]);
  EXPECT_EQ("1,30", five[15]);
  // The 0-5 V group shows volts with a colon; 127 (offset 100) is 2:54.
  for (int type : {1, 2, 3, 4, 9}) {
    const auto volts = LambdaPointItems(type);
    ASSERT_EQ(51u, volts.size());
    EXPECT_EQ("2:00", volts[0]);
    EXPECT_EQ("2:54", volts[27]);
    EXPECT_EQ("2:98", volts[49]);
    EXPECT_EQ("3:00", volts[50]);
  }
}

TEST(ValueTexts, CorrectionsShowTheirSignAndABareZero) {
  EXPECT_EQ("-2", CorrectionText(-2));
  EXPECT_EQ("+2", CorrectionText(2));
  EXPECT_EQ("0", CorrectionText(0));
}

}  // namespace
}  // namespace kv
