#include <gtest/gtest.h>

#include "controller.h"
#include "conversions.h"

namespace kv::sim {
namespace {

constexpr Micros kSecond = 1000000;

std::vector<std::uint8_t> Block2(Controller& c, Micros now) { return c.Handle({0x65, 2, 2, 0x69}, now); }

unsigned Rpm(const std::vector<std::uint8_t>& b2) {
  return b2[6] == 255 ? 0 : SpeedFromPeriod(b2[6], b2[5]);
}

TEST(Conversions, MatchTheProgramsDecoding) {
  EXPECT_EQ(SpeedFromPeriod(0x0E, 0xA6), 4000u);
  EXPECT_EQ(SpeedFromPeriod(0x5D, 0xC0), 600u);
  EXPECT_EQ(SpeedFromPeriod(0, 0), 0u);
  EXPECT_EQ(PeriodFromSpeed(2000), 7500);
  for (int t : {0, 10, 12, 30, 50, 52, 58, 60, 100}) EXPECT_EQ(TemperatureFromRaw(TemperatureToRaw(t)), t);
  EXPECT_EQ(TemperatureToRaw(30), 145);
  EXPECT_EQ(TemperatureFromRaw(255), 110);
}

TEST(Car, StaticFreezesEveryByteWhileTheClockRuns) {
  ControllerOptions o;
  o.frozen = true;
  Controller c(0, o);
  const auto first = Block2(c, 0);
  EXPECT_EQ(Block2(c, 17 * kSecond), first);
  c.SetFrozen(false, 17 * kSecond);
  EXPECT_EQ(Block2(c, 17 * kSecond), first);  // resumes where it stopped, not 17 s later
  EXPECT_NE(Block2(c, 27 * kSecond), first);
}

TEST(Car, SameModelTimeGivesSameBytes) {
  ControllerOptions o;
  o.frozen = true;
  o.startSeconds = 42;
  Controller a(0, o), b(5 * kSecond, {});
  b.SetFrozen(true, 5 * kSecond);
  b.Advance(42 * kSecond);
  EXPECT_EQ(a.Block(2), b.Block(2));
  EXPECT_EQ(a.Block(5), b.Block(5));
}

TEST(Car, StartsColdOnPetrolIdlingThenSwitchesToGasWhenWarmAndRevved) {
  Controller c(0);
  auto b2 = Block2(c, 0);
  EXPECT_NEAR(Rpm(b2), 800, 50);
  EXPECT_EQ(b2[8] & 0x81, 0);        // cold, petrol
  EXPECT_EQ(b2[7] & 0xF8, 0x18);     // idle lamp, engine running
  EXPECT_LT(TemperatureFromRaw(b2[9]), 25);

  bool sawGas = false, sawCutOff = false, sawHighRev = false;
  unsigned lambdaMin = 255, lambdaMax = 0, actuatorMin = 255, actuatorMax = 0;
  for (Micros t = 0; t <= 60 * kSecond; t += 100000) {
    b2 = Block2(c, t);
    const bool warm = TemperatureFromRaw(b2[9]) >= 30;
    if (b2[8] & 0x01) {
      sawGas = true;
      EXPECT_TRUE(warm) << "on gas while cold at " << t;
      actuatorMin = std::min<unsigned>(actuatorMin, b2[3]);
      actuatorMax = std::max<unsigned>(actuatorMax, b2[3]);
    }
    if (b2[8] & 0x08) {
      sawCutOff = true;
      EXPECT_EQ(b2[7] & 0xF0, 0x10) << "cut-off with the throttle open at " << t;
    }
    sawHighRev |= Rpm(b2) >= 4000;
    lambdaMin = std::min<unsigned>(lambdaMin, b2[2]);
    lambdaMax = std::max<unsigned>(lambdaMax, b2[2]);
  }
  EXPECT_TRUE(sawGas);
  EXPECT_TRUE(sawCutOff);
  EXPECT_TRUE(sawHighRev);
  EXPECT_LE(lambdaMin, 10u);  // 0-1 V probe: raw 0..51
  EXPECT_GE(lambdaMax, 40u);
  EXPECT_LE(lambdaMax, 51u);
  EXPECT_LT(actuatorMin, 110u);  // moves both sides of AttInit
  EXPECT_GT(actuatorMax, 110u);
  EXPECT_GT(TemperatureFromRaw(Block2(c, 60 * kSecond)[9]), 60);
}

TEST(Car, SettingsWrittenByTheProgramChangeTheBehaviour) {
  ControllerOptions o;
  o.frozen = true;
  Controller c(0, o);
  // Switch-on temperature 60 C: still petrol after the first rev at about 33 C.
  c.Handle({0x65, 16, 208, static_cast<std::uint8_t>(0x65 + 16 + 208)}, 0);
  c.Advance(12 * kSecond);
  EXPECT_FALSE(c.car().onGas());
  // Switch-on temperature no longer in use (Options bit 1 clear): gas at the next rev.
  c.Handle({0x65, 6, 0x28, 0x93}, 0);
  c.Advance(30 * kSecond);
  EXPECT_TRUE(c.car().onGas());
  // LPG-off speed in use at 4000 rpm (Options bit 6): LPG OFF during the high rev.
  c.Handle({0x65, 28, 0xA6, static_cast<std::uint8_t>(0x65 + 28 + 0xA6)}, 0);
  c.Handle({0x65, 29, 0x0E, static_cast<std::uint8_t>(0x65 + 29 + 0x0E)}, 0);
  c.Handle({0x65, 6, 0x68, 0xD3}, 0);
  bool sawLpgOff = false;
  for (int i = 0; i < 300; ++i) {
    c.Advance(100000);
    const auto b2 = c.Block(2);
    if (b2[8] & 0x04) {
      sawLpgOff = true;
      EXPECT_EQ(b2[8] & 0x01, 0);
      EXPECT_GE(Rpm(b2), 3750u);
    }
  }
  EXPECT_TRUE(sawLpgOff);
}

TEST(Car, StoppedEngineReadsSpeedZeroAndDropsToPetrol) {
  ControllerOptions o;
  o.frozen = true;
  o.startSeconds = 40;
  Controller c(0, o);
  ASSERT_TRUE(c.car().onGas());
  c.SetEngine(false, 0);
  auto b2 = c.Block(2);
  EXPECT_EQ(b2[6], 255);
  EXPECT_EQ(b2[8] & 0x4F, 0);
  EXPECT_EQ(b2[7] & 0x0F, 0);
  c.SetEngine(true, 0);
  b2 = c.Block(2);
  EXPECT_NEAR(Rpm(b2), 800, 50);
  EXPECT_EQ(b2[8] & 0x01, 0);  // needs the speed condition again
}

TEST(Car, GasLevelFollowsTheSensorAndTheProgrammedPoints) {
  ControllerOptions o;
  o.frozen = true;
  Controller c(0, o);
  EXPECT_EQ(c.Block(5)[5], 3);  // 170 lies between Prog3 = 140 and Prog4 = 190
  c.SetGasSensor(20, 0);
  EXPECT_EQ(c.Block(5)[5], 0);
  c.SetGasSensor(255, 0);
  EXPECT_EQ(c.Block(5)[5], 4);
  c.Handle({0x65, 37, 0xFF, static_cast<std::uint8_t>(0x65 + 37 + 0xFF)}, 0);  // Prog4 = 255
  c.Advance(Car::kStep);
  EXPECT_EQ(c.Block(5)[5], 4);
  c.Handle({0x65, 37, 0, static_cast<std::uint8_t>(0x65 + 37)}, 0);
  c.SetGasSensor(100, 0);
  EXPECT_EQ(c.Block(5)[5], 3);  // 40, 90 and Prog4 = 0 reached
}

TEST(Car, RunningTimeCountsMinutesOnGas) {
  ControllerOptions o;
  o.frozen = true;
  o.startSeconds = 12;  // on gas from about 9 s
  Controller c(0, o);
  ASSERT_TRUE(c.car().onGas());
  c.Set(5, 8, 59);
  c.Unpin(5, 8);
  c.Advance(61 * kSecond);
  const auto b5 = c.Block(5);
  EXPECT_EQ(b5[8], 0);
  EXPECT_EQ(b5[9] | (b5[10] << 8), 1235);
}

}  // namespace
}  // namespace kv::sim
