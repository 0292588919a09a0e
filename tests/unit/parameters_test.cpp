// The parameter table against the settings file's key order, the factory reset's write-back
// order and the bit-field write.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fake_port.h"
#include "link/link.h"
#include "link/parameters.h"

namespace kv {
namespace {

TEST(Parameters, FileOrderKeysAddressesAndWriteBackOrder) {
  const char* keys[kSettingsCount] = {
      "Options",     "LambdaType",  "LambdaPoint", "LambdaDelay",  "EmulType",    "EmulBJ_TimeHi",
      "EmulBJ_TimeLo", "ZAM_OTW_BJ", "ZAM_OTW_DO", "InjectDelay",  "LPGOnTemp",   "AttMax",
      "AttMin",      "AttInit",     "TPSJump",     "AttJump",      "LPGOnRPMLo",  "LPGOnRPMHi",
      "IgnitionType", "CutOffRPMLo", "CutOffRPMHi", "CutOffSteps", "LPGOffRPMLo", "LPGOffRPMHi",
      "TPSInert",    "AttMax_BJ",   "AttMin_BJ",   "Prog1",        "Prog2",       "Prog3",
      "Prog4",       "WOZG"};
  // The file loads to 5..29 then 31..37: address order with the command address left out.
  int expected = 5;
  for (std::size_t i = 0; i < kSettingsCount; ++i) {
    const ParameterRow& row = kParameters[i];
    EXPECT_EQ(static_cast<std::size_t>(row.param), i);
    EXPECT_EQ(keys[i], std::string(row.name));
    if (expected == kCommandAddress) ++expected;
    EXPECT_EQ(expected++, row.writeAddress) << row.name;
  }
  // Saved from: the two odd ones out of Block 3/4.
  EXPECT_EQ(2, Row(Param::AttInit).byte.block);
  EXPECT_EQ(5, Row(Param::ZAM_OTW_BJ).byte.block);
  // The write-back ends with the running minutes and never touches 30 or 38..48.
  std::set<int> written;
  for (std::size_t k = 0; k < kWriteBackCount; ++k) written.insert(Row(WriteBackParam(k)).writeAddress);
  EXPECT_EQ(33u, written.size());
  EXPECT_EQ(49, Row(WriteBackParam(32)).writeAddress);
  for (int a : {30, 38, 39, 40, 41, 42, 48}) EXPECT_EQ(0u, written.count(a)) << a;
  // Rows sit at their enum's index and no two share an address or a byte.
  std::set<int> addresses;
  std::set<std::pair<int, std::size_t>> places;
  for (std::size_t i = 0; i < kParameterCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kParameters[i].param), i);
    addresses.insert(kParameters[i].writeAddress);
    places.insert({kParameters[i].byte.block, kParameters[i].byte.index});
  }
  EXPECT_EQ(kParameterCount, addresses.size());
  EXPECT_EQ(kParameterCount, places.size());
  EXPECT_EQ(nullptr, RowByWriteAddress(kCommandAddress));
}

TEST(Parameters, BitWriteKeepsTheOtherBitsFromTheImage) {
  testing::FakePort port;
  Link link;
  link.port = &port;
  port.replies.push_back(testing::Frame({0x10, 0x45}));
  Identify(link);
  std::uint8_t block3[14] = {kMarker, 0xA5, 0x3C};
  link.image.ReplaceBlock(3, block3);
  port.ClearLog();
  port.replies.push_back(testing::Frame({0x07, 0x5A}));
  WriteParameterBits(link, Param::LambdaType, 0x0F, 0x07);  // TPS code 7, probe type kept
  ASSERT_EQ(1u, port.written.size());
  EXPECT_EQ((std::vector<std::uint8_t>{0x65, 0x07, 0x37, 0xA3}), port.written.back());
  EXPECT_EQ(3, LambdaProbeType(0x3C));
  EXPECT_TRUE(IsSwitchTps(TpsCode(0x37)));
  EXPECT_FALSE(IsSwitchTps(TpsCode(0x35)));
}

}  // namespace
}  // namespace kv
