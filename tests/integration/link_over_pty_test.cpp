// The link and the POSIX port against kv720-sim over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "link/link.h"
#include "link/serial_port_posix.h"
#include "sim_process.h"

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;

struct LinkOverPty : ::testing::Test {
  testing::SimProcess sim{{"--static"}};
  PosixSerialPort port;
  Link link;
  void SetUp() override {
    ASSERT_TRUE(sim.Ready());
    port.devices["COM1:"] = sim.Link();
    link.port = &port;
  }
  void TearDown() override { ClosePort(link); }
};

TEST_F(LinkOverPty, FullPollCycleFillsEveryBlock) {
  Identify(link);
  ASSERT_FALSE(link.offline);
  EXPECT_EQ(3, Version(link.image));
  for (int block = 2; block <= 5; ++block) {
    EXPECT_TRUE(ReadBlock(link, block)) << "block " << block;
    EXPECT_EQ(0x65, link.image.Byte(block, 0));
    EXPECT_EQ(FrameChecksum(link.image.blocks[block - 1].data(), BlockLength(block) - 1),
              link.image.Byte(block, BlockLength(block) - 1));
  }
  const auto sent = sim.Sent();
  const std::vector<std::string> expected{"65 01 01 67", "65 02 02 69", "65 03 03 6B",
                                          "65 04 04 6D", "65 05 05 6F"};
  EXPECT_EQ(expected, sent);
}

TEST_F(LinkOverPty, WriteIsEchoedAndReadBack) {
  Identify(link);
  ASSERT_FALSE(link.offline);
  ASSERT_EQ(3u, WriteByte(link, 21, 0x70));
  EXPECT_EQ(0x70, link.lastAck[1]);
  ASSERT_EQ(3u, WriteByte(link, 22, 0x17));
  ASSERT_TRUE(ReadBlock(link, 4));
  EXPECT_EQ(0x70, Get(link.image, bytes::LPGOnRPMLo));
  EXPECT_EQ(0x17, Get(link.image, bytes::LPGOnRPMHi));
  const auto sent = sim.Sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "65 16 70 EB"), sent.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), "65 17 17 93"), sent.end());
}

TEST_F(LinkOverPty, WrongEchoIsVisibleToTheCaller) {
  Identify(link);
  ASSERT_TRUE(sim.Control("wrongecho on").rfind("ok", 0) == 0);
  EXPECT_EQ(3u, WriteByte(link, 15, 145));
  EXPECT_NE(145, link.lastAck[1]);
  ASSERT_TRUE(sim.Control("wrongecho off").rfind("ok", 0) == 0);
  ASSERT_TRUE(sim.Control("noecho-after 0").rfind("ok", 0) == 0);
  EXPECT_EQ(0u, WriteByte(link, 15, 145));
}

TEST_F(LinkOverPty, SilenceTakesTheLinkOfflineAndItRecovers) {
  Identify(link);
  ASSERT_FALSE(link.offline);
  ASSERT_TRUE(ReadBlock(link, 3));
  ASSERT_TRUE(sim.Control("silence on").rfind("ok", 0) == 0);
  for (int i = 0; i < 3; ++i) Identify(link);
  EXPECT_TRUE(link.offline);
  EXPECT_EQ(500, link.pollPeriod);
  EXPECT_EQ(0, link.image.Byte(3, 0));
  EXPECT_FALSE(link.portOpen);

  ASSERT_TRUE(sim.Control("silence off").rfind("ok", 0) == 0);
  Identify(link);  // reopens the port and is answered
  EXPECT_FALSE(link.offline);
  EXPECT_EQ(50, link.pollPeriod);
  EXPECT_EQ(0, link.missCount);
}

TEST_F(LinkOverPty, FaultsOnBlockRepliesLeaveTheImage) {
  Identify(link);
  ASSERT_TRUE(ReadBlock(link, 3));
  const auto before = link.image.blocks[2];
  ASSERT_TRUE(sim.Control("set 3 1 99").rfind("ok", 0) == 0);
  ASSERT_TRUE(sim.Control("badsum on").rfind("ok", 0) == 0);
  EXPECT_FALSE(ReadBlock(link, 3));
  ASSERT_TRUE(sim.Control("badsum off").rfind("ok", 0) == 0);
  ASSERT_TRUE(sim.Control("marker on").rfind("ok", 0) == 0);
  EXPECT_FALSE(ReadBlock(link, 3));
  EXPECT_EQ(before, link.image.blocks[2]);
  ASSERT_TRUE(sim.Control("marker off").rfind("ok", 0) == 0);
  EXPECT_TRUE(ReadBlock(link, 3));
  EXPECT_EQ(99, Get(link.image, bytes::Options));
}

TEST_F(LinkOverPty, MissingReplyReturnsWithinItsTimeout) {
  ASSERT_TRUE(sim.Control("silence on").rfind("ok", 0) == 0);
  const auto start = Clock::now();
  Identify(link);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  // 100 + 10 x 4 ms in all; generous slack for a loaded machine, but never far beyond it.
  EXPECT_GE(ms, 100);
  EXPECT_LT(ms, 1500);
  EXPECT_EQ(1, link.missCount);
}

TEST_F(LinkOverPty, OtherVersionGetsNoWrites) {
  ASSERT_TRUE(sim.Control("version 2").rfind("ok", 0) == 0);
  Identify(link);
  EXPECT_FALSE(link.offline);
  EXPECT_EQ(2, Version(link.image));
  EXPECT_EQ(0u, WriteByte(link, 21, 0x70));
  for (const auto& frame : sim.Sent()) EXPECT_EQ("65 01 01 67", frame);
}

}  // namespace
}  // namespace kv
