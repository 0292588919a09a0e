// The controller link against a scripted port: frames, acceptance tests, the online/offline
// state machine and the write command.
#include <gtest/gtest.h>

#include "fake_port.h"
#include "link/link.h"

namespace kv {
namespace {

using testing::FakePort;
using testing::Frame;

const std::vector<std::uint8_t> kIdentity = Frame({0x10, 0x45});  // version 3, revision 5

struct LinkTest : ::testing::Test {
  FakePort port;
  Link link;
  void SetUp() override { link.port = &port; }

  void GoOnline() {
    port.replies.push_back(kIdentity);
    Identify(link);
    ASSERT_FALSE(link.offline);
    port.ClearLog();
  }
  void Miss(int times) {
    for (int i = 0; i < times; ++i) Identify(link);
  }
};

TEST(Frames, RequestsAndWriteFramesAreByteExact) {
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x65, 0x01, 0x01, 0x67}), ReadRequest(1));
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x65, 0x05, 0x05, 0x6F}), ReadRequest(5));
  // Write address 30 goes out as wire address 31 (0x1F).
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x65, 0x1F, 0x32, 0xB6}), WriteFrame(30, 50));
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x65, 0x16, 0x70, 0xEB}), WriteFrame(21, 0x70));
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x65, 0x17, 0x17, 0x93}), WriteFrame(22, 0x17));
  // The checksum wraps modulo 256.
  const std::uint8_t bytes[] = {0x65, 0xFF, 0xFF};
  EXPECT_EQ(0x63, FrameChecksum(bytes, 3));
}

TEST(MemoryImageTest, VersionRevisionAndWriteTargets) {
  MemoryImage image;
  EXPECT_EQ(1, Version(image));  // empty image
  const std::uint8_t id45[] = {0x65, 0, 0x45, 0xAA};
  image.ReplaceBlock(1, id45);
  EXPECT_EQ(3, Version(image));
  EXPECT_EQ(5, Revision(image));
  const std::uint8_t idFF[] = {0x65, 0, 0xFF, 0};
  image.ReplaceBlock(1, idFF);
  EXPECT_EQ(8, Version(image));
  EXPECT_EQ(31, Revision(image));
  image.Clear();
  EXPECT_EQ(0, image.Byte(1, 2));
  EXPECT_EQ(0, image.Byte(5, 21));  // outside the block
  EXPECT_EQ(0, image.Byte(6, 0));

  // Every write address lands on its block byte; 30 is a command and changes none.
  struct Row { int address, block; std::size_t index; };
  const Row rows[] = {{5, 3, 1},   {11, 3, 7},  {12, 5, 6},  {13, 5, 7},   {14, 3, 10},
                      {15, 3, 11}, {16, 4, 1},  {17, 4, 2},  {18, 2, 4},   {19, 4, 3},
                      {28, 4, 12}, {29, 3, 12}, {30, 0, 0},  {31, 4, 13},  {32, 4, 14},
                      {33, 5, 1},  {36, 5, 4},  {37, 3, 8},  {38, 5, 9},   {39, 5, 10},
                      {40, 5, 11}, {41, 5, 12}, {42, 5, 13}, {48, 5, 19},  {49, 5, 8},
                      {4, 0, 0},   {50, 0, 0}};
  for (const auto& r : rows) {
    const ByteRef t = WriteTarget(r.address);
    EXPECT_EQ(r.block, t.block) << "address " << r.address;
    EXPECT_EQ(r.index, t.index) << "address " << r.address;
  }
}

TEST_F(LinkTest, IdentificationOpensLazilyAndPurgesInOrder) {
  port.replies.push_back(kIdentity);
  Identify(link);
  const std::vector<std::string> expected{"open COM1:", "purge tx", "purge rx",
                                          "write 65 01 01 67", "read 4"};
  EXPECT_EQ(expected, port.calls);
  EXPECT_FALSE(link.offline);
  EXPECT_TRUE(link.portOpen);
  EXPECT_EQ(0x45, link.image.Byte(1, 2));
  EXPECT_EQ(50, link.pollPeriod);
}

TEST_F(LinkTest, StateMachineCountsMissesAndGoesOfflineOnTheThird) {
  GoOnline();
  port.replies.push_back(Frame({1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(ReadBlock(link, 2));

  Miss(2);  // online, counting
  EXPECT_FALSE(link.offline);
  EXPECT_EQ(2, link.missCount);
  EXPECT_EQ(1, link.image.Byte(2, 1));

  Miss(1);  // third miss: offline actions
  EXPECT_TRUE(link.offline);
  EXPECT_EQ(2, link.missCount);
  EXPECT_EQ(500, link.pollPeriod);
  EXPECT_FALSE(link.portOpen);
  EXPECT_EQ(0, link.image.Byte(2, 1));
  EXPECT_EQ(0, link.image.Byte(1, 0));
  EXPECT_EQ(1, Version(link.image));
  const auto& c = port.calls;
  // The short-reply purge, then the offline purges in their order.
  const std::vector<std::string> tail(c.end() - 5, c.end());
  EXPECT_EQ((std::vector<std::string>{"read 4", "purge rx", "purge rx", "purge tx", "close"}),
            tail);

  // Each further miss repeats the offline actions at once: open, ask, close.
  port.ClearLog();
  Miss(1);
  EXPECT_EQ("open COM1:", port.calls.front());
  EXPECT_EQ("close", port.calls.back());
  EXPECT_EQ(2, link.missCount);

  // One good reply brings it back.
  port.replies.push_back(kIdentity);
  Identify(link);
  EXPECT_FALSE(link.offline);
  EXPECT_EQ(0, link.missCount);
  EXPECT_EQ(50, link.pollPeriod);
}

TEST_F(LinkTest, GoodReplyResetsTheMissCount) {
  GoOnline();
  Miss(2);
  port.replies.push_back(kIdentity);
  Identify(link);
  EXPECT_EQ(0, link.missCount);
  Miss(1);
  EXPECT_EQ(1, link.missCount);
  EXPECT_FALSE(link.offline);
}

TEST_F(LinkTest, OfflineAtStartCountsTwoMissesWithoutClosing) {
  Miss(2);
  EXPECT_TRUE(link.offline);
  EXPECT_EQ(2, link.missCount);
  EXPECT_TRUE(link.portOpen);
  EXPECT_EQ(1, port.opens);
  EXPECT_EQ(50, link.pollPeriod);
  Miss(1);
  EXPECT_EQ(500, link.pollPeriod);
  EXPECT_FALSE(link.portOpen);
}

TEST_F(LinkTest, FailedOpenStillCountsAsOpenUntilTheThirdMiss) {
  port.openSucceeds = false;
  Miss(2);
  EXPECT_TRUE(link.portOpen);
  EXPECT_EQ(1, port.opens);
  Miss(1);
  EXPECT_FALSE(link.portOpen);
  Miss(1);
  EXPECT_EQ(2, port.opens);  // every offline identification tries a fresh open
}

TEST_F(LinkTest, BadChecksumOnIdentificationClosesWithoutCounting) {
  GoOnline();
  Miss(1);
  port.replies.push_back({0x65, 0x10, 0x45, 0x00});
  Identify(link);
  EXPECT_EQ(1, link.missCount);
  EXPECT_FALSE(link.offline);
  EXPECT_FALSE(link.portOpen);
  EXPECT_EQ("close", port.calls.back());
  // Never counted as missing, however often it repeats.
  for (int i = 0; i < 5; ++i) {
    port.replies.push_back({0x65, 0x10, 0x45, 0x00});
    Identify(link);
  }
  EXPECT_FALSE(link.offline);
  EXPECT_EQ(1, link.missCount);
}

TEST_F(LinkTest, WrongMarkerOnIdentificationIsAMiss) {
  GoOnline();
  port.replies.push_back({0x66, 0x10, 0x45, 0xBB});
  Identify(link);
  EXPECT_EQ(1, link.missCount);
  EXPECT_EQ(0x45, link.image.Byte(1, 2));
}

TEST_F(LinkTest, ShortRepliesAreJudgedOnTheZeroPaddedBuffer) {
  GoOnline();
  // Three bytes of an identification: the fourth is padded with 0, which is not the sum of
  // 65 00 65, so the marker is there but the checksum fails (the port is closed, not counted).
  port.replies.push_back({0x65, 0x00, 0x65});
  Identify(link);
  EXPECT_EQ("close", port.calls.back());  // marker present, checksum bad on the padded buffer
  port.ClearLog();

  // A Block 2 reply cut after byte 9 with a payload summing so that the padded checksum 0 holds:
  // accepted, as the controller's own frame rules allow.
  std::vector<std::uint8_t> cut{0x65, 0x9B, 0, 0, 0, 0, 0, 0, 0, 0};  // 0x65 + 0x9B = 0x100
  port.replies.push_back(cut);
  EXPECT_TRUE(ReadBlock(link, 2));
  EXPECT_EQ(0x9B, link.image.Byte(2, 1));
  EXPECT_EQ(0, link.image.Byte(2, 10));
  EXPECT_NE(std::find(port.calls.begin(), port.calls.end(), "purge rx"), port.calls.end());

  // A short reply that does not hold leaves the block as it was.
  port.replies.push_back({0x65, 0x01, 0x02});
  EXPECT_FALSE(ReadBlock(link, 2));
  EXPECT_EQ(0x9B, link.image.Byte(2, 1));
}

TEST_F(LinkTest, BlockRepliesWithWrongMarkerOrChecksumLeaveTheBlock) {
  GoOnline();
  port.replies.push_back(Frame({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_TRUE(ReadBlock(link, 3));
  EXPECT_EQ((std::vector<std::string>{"purge tx", "write 65 03 03 6B", "read 14"}), port.calls);

  auto wrongMarker = Frame({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
  wrongMarker[0] = 0x64;
  port.replies.push_back(wrongMarker);
  port.ClearLog();
  EXPECT_FALSE(ReadBlock(link, 3));
  EXPECT_EQ(1, link.image.Byte(3, 1));
  EXPECT_EQ(0, link.missCount);  // block replies never count
  EXPECT_EQ((std::vector<std::string>{"purge tx", "write 65 03 03 6B", "read 14"}), port.calls);

  auto badSum = Frame({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
  badSum.back() ^= 1;
  port.replies.push_back(badSum);
  port.ClearLog();
  EXPECT_FALSE(ReadBlock(link, 3));
  EXPECT_EQ(1, link.image.Byte(3, 1));
  EXPECT_EQ("purge rx", port.calls.back());
  EXPECT_FALSE(link.offline);
}

TEST_F(LinkTest, Block5ChecksumWraps) {
  GoOnline();
  std::vector<std::uint8_t> payload(19, 0xF0);  // sum far above 255
  const auto frame = Frame(payload);
  port.replies.push_back(frame);
  EXPECT_TRUE(ReadBlock(link, 5));
  EXPECT_EQ(frame.back(), link.image.Byte(5, 20));
  EXPECT_EQ(0xF0, link.image.Byte(5, 19));
}

TEST_F(LinkTest, BlockReadAfterOfflineDoesNotChangeState) {
  Miss(3);
  port.replies.push_back(Frame({1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_TRUE(ReadBlock(link, 2));  // callers gate on offline; the link itself does not
  EXPECT_TRUE(link.offline);
}

TEST_F(LinkTest, WriteSendsWireAddressAndReadsTheEcho) {
  GoOnline();
  port.replies.push_back({0x65, 0x32, 0x00});
  EXPECT_EQ(3u, WriteByte(link, 30, 50));
  EXPECT_EQ((std::vector<std::string>{"purge rx", "purge tx", "write 65 1F 32 B6", "pause 0",
                                      "read 3", "purge rx"}),
            port.calls);
  EXPECT_EQ(0x32, link.lastAck[1]);
  EXPECT_EQ(3u, link.lastTransferCount);
}

TEST_F(LinkTest, WriteWithoutAnswerReportsFewerBytes) {
  GoOnline();
  port.replies.push_back({0x65});
  EXPECT_EQ(1u, WriteByte(link, 21, 0x70));
  EXPECT_EQ(1u, link.lastTransferCount);
  EXPECT_EQ(0, link.lastAck[1]);
}

TEST_F(LinkTest, WritesAreSentOnlyToVersion3) {
  // Offline at start: empty image, version 1.
  EXPECT_EQ(0u, WriteByte(link, 21, 0x70));
  EXPECT_TRUE(port.calls.empty());

  port.replies.push_back(Frame({0x10, 0x85}));  // version 5
  Identify(link);
  port.ClearLog();
  EXPECT_EQ(0u, WriteByte(link, 21, 0x70));
  EXPECT_TRUE(port.calls.empty());

  // After going offline the cleared image blocks writes again.
  GoOnline();
  Miss(3);
  port.ClearLog();
  EXPECT_EQ(0u, WriteByte(link, 21, 0x70));
  EXPECT_TRUE(port.calls.empty());
}

TEST_F(LinkTest, ClosePortAndPortChange) {
  GoOnline();
  ClosePort(link);
  EXPECT_FALSE(link.portOpen);
  EXPECT_EQ((std::vector<std::string>{"close"}), port.calls);
  ClosePort(link);  // closing twice does nothing
  EXPECT_EQ(1u, port.calls.size());

  link.portName = "COM3:";
  port.replies.push_back(kIdentity);
  Identify(link);
  EXPECT_EQ("open COM3:", port.calls[1]);
}

TEST_F(LinkTest, PollPeriodSetter) {
  SetPollPeriod(link, 20);
  EXPECT_EQ(20, link.pollPeriod);
  port.replies.push_back(kIdentity);
  Identify(link);
  EXPECT_EQ(50, link.pollPeriod);  // a good identification sets the online period again
}

}  // namespace
}  // namespace kv
