#include <gtest/gtest.h>

#include <vector>

#include "controller.h"
#include "frame.h"

namespace kv::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Frame Request(int n) {
  const auto b = static_cast<std::uint8_t>(n);
  return {kMarker, b, b, static_cast<std::uint8_t>(kMarker + 2 * b)};
}

Frame Write(int writeAddress, std::uint8_t value) {
  const auto wire = static_cast<std::uint8_t>(writeAddress + 1);
  return {kMarker, wire, value, static_cast<std::uint8_t>(kMarker + wire + value)};
}

ControllerOptions Frozen() {
  ControllerOptions o;
  o.frozen = true;
  return o;
}

bool ValidReply(const Bytes& r) {
  return r.size() >= 2 && r[0] == kMarker && Checksum(r.data(), r.size() - 1) == r.back();
}

TEST(Controller, AnswersTheFiveRequestsWithFramedBlocks) {
  Controller c(0, Frozen());
  for (int n = 1; n <= 5; ++n) {
    const Bytes r = c.Handle(Request(n), 0);
    EXPECT_EQ(r.size(), BlockLength(n)) << "request " << n;
    EXPECT_TRUE(ValidReply(r)) << "request " << n;
  }
  EXPECT_EQ(c.Handle(Request(1), 0), (Bytes{0x65, 0x01, 0x45, 0xAB}));
}

TEST(Controller, VersionAndRevisionMakeTheIdentityByte) {
  ControllerOptions o = Frozen();
  o.version = 8;
  o.revision = 31;
  Controller c(0, o);
  EXPECT_EQ(c.Handle(Request(1), 0)[2], 0xFF);
  c.SetVersion(1);
  c.SetRevision(0);
  EXPECT_EQ(c.Handle(Request(1), 0)[2], 0x00);
}

// Every write address and the block byte it must land in.
struct Mapping {
  int address, block, index;
};
constexpr Mapping kMap[] = {
    {5, 3, 1},   {6, 3, 2},   {7, 3, 3},   {8, 3, 4},   {9, 3, 5},   {10, 3, 6},  {11, 3, 7},
    {12, 5, 6},  {13, 5, 7},  {14, 3, 10}, {15, 3, 11}, {16, 4, 1},  {17, 4, 2},  {18, 2, 4},
    {19, 4, 3},  {20, 4, 4},  {21, 4, 5},  {22, 4, 6},  {23, 4, 7},  {24, 4, 8},  {25, 4, 9},
    {26, 4, 10}, {27, 4, 11}, {28, 4, 12}, {29, 3, 12}, {31, 4, 13}, {32, 4, 14}, {33, 5, 1},
    {34, 5, 2},  {35, 5, 3},  {36, 5, 4},  {37, 3, 8},  {38, 5, 9},  {39, 5, 10}, {40, 5, 11},
    {41, 5, 12}, {42, 5, 13}, {43, 5, 14}, {44, 5, 15}, {45, 5, 16}, {46, 5, 17}, {47, 5, 18},
    {48, 5, 19}, {49, 5, 8},
};

Bytes AllBlocks(const Controller& c) {
  Bytes all;
  for (int n = 1; n <= 5; ++n) {
    const Bytes b = c.Block(n);
    all.insert(all.end(), b.begin(), b.end());
  }
  return all;
}

TEST(Controller, EveryWriteAddressChangesExactlyItsByteAndIsEchoed) {
  for (const Mapping& m : kMap) {
    Controller c(0, Frozen());
    Bytes expected = c.Block(m.block);
    // A value no factory byte has, so the change is visible.
    const std::uint8_t value = static_cast<std::uint8_t>(0xC0 + m.address);
    const Bytes before = AllBlocks(c);
    EXPECT_EQ(c.Handle(Write(m.address, value), 0),
              (Bytes{0x65, value, static_cast<std::uint8_t>(0x65 + value)}))
        << "address " << m.address;
    const Bytes after = c.Block(m.block);
    EXPECT_EQ(after[m.index], value) << "address " << m.address;
    EXPECT_TRUE(ValidReply(after)) << "address " << m.address;
    // Nothing else moved: only the byte and its block's checksum differ.
    std::size_t differences = 0;
    const Bytes all = AllBlocks(c);
    for (std::size_t i = 0; i < all.size(); ++i) differences += all[i] != before[i];
    EXPECT_EQ(differences, 2u) << "address " << m.address;
  }
}

TEST(Controller, UnknownAddressesAreAcknowledgedAndChangeNothing) {
  for (int address : {-1, 0, 1, 4, 50, 100, 254}) {
    Controller c(0, Frozen());
    const Bytes before = AllBlocks(c);
    // Wire addresses 1..5 with value equal to the address would be read requests.
    const Bytes ack = c.Handle(Write(address, 0x99), 0);
    EXPECT_EQ(ack, (Bytes{0x65, 0x99, 0xFE})) << "address " << address;
    EXPECT_EQ(AllBlocks(c), before) << "address " << address;
  }
}

TEST(Controller, FactoryResetRestoresSettingsButKeepsTheServiceRecord) {
  Controller c(0, Frozen());
  const Bytes factory3 = c.Block(3), factory4 = c.Block(4), factory5 = c.Block(5);
  for (const Mapping& m : kMap) c.Handle(Write(m.address, 0x01), 0);
  EXPECT_EQ(c.Block(2)[4], 0x01);
  c.Handle(Write(30, 51), 0);
  EXPECT_EQ(c.Block(3), factory3);
  EXPECT_EQ(c.Block(4), factory4);
  EXPECT_EQ(c.Block(2)[4], 110);  // AttInit
  const Bytes b5 = c.Block(5);
  for (int k : {1, 2, 3, 4, 6, 7}) EXPECT_EQ(b5[k], factory5[k]) << "Block 5 byte " << k;
  for (int k = 8; k <= 19; ++k) EXPECT_EQ(b5[k], 0x01) << "Block 5 byte " << k;
}

TEST(Controller, GasLevelFactoryRestoresOnlyTheFourPoints) {
  Controller c(0, Frozen());
  const Bytes factory5 = c.Block(5);
  for (int a : {33, 34, 35, 36, 12, 5}) c.Handle(Write(a, 7), 0);
  c.Handle(Write(30, 52), 0);
  const Bytes b5 = c.Block(5);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(b5[k], factory5[k]);
  EXPECT_EQ(b5[6], 7);
  EXPECT_EQ(c.Block(3)[1], 7);
}

TEST(Controller, LearningCycleRunsForItsDurationThenReportsTheOutcome) {
  ControllerOptions o = Frozen();
  o.learnDuration = 3000000;
  Controller c(0, o);
  auto switches = [&](Micros now) { return c.Handle(Request(2), now)[8] & 0x32; };
  EXPECT_EQ(switches(0), 0);
  c.Handle(Write(30, 50), 1000000);
  EXPECT_EQ(switches(1000000), kLearningBit);
  // A second learn command does not extend the cycle.
  c.Handle(Write(30, 50), 2000000);
  EXPECT_EQ(switches(3999999), kLearningBit);
  EXPECT_EQ(switches(4000000), kLearnDoneBit);  // ok: bit 1 falls, bit 4 says finished

  c.SetLearnResult(LearnResult::Fail);
  c.Handle(Write(30, 50), 5000000);
  EXPECT_EQ(switches(5000000), kLearningBit);
  EXPECT_EQ(switches(8000000), kLearnDoneBit | kLearnErrorBit);

  c.SetLearnResult(LearnResult::Interrupted);
  c.Handle(Write(30, 50), 9000000);
  EXPECT_EQ(switches(9000001), kLearningBit);  // a new cycle clears the old outcome
  EXPECT_EQ(switches(12000000), 0);
  c.SetLearnResult(LearnResult::Fail);
  c.Handle(Write(30, 50), 13000000);
  EXPECT_EQ(switches(60000000), kLearnDoneBit | kLearnErrorBit);  // held until the next cycle
}

TEST(Controller, LearningFinishesWhileLiveSignalsRun) {
  ControllerOptions o;
  o.learnDuration = 500000;
  Controller c(0, o);
  c.Handle(Write(30, 50), 0);
  EXPECT_TRUE(c.learning());
  c.Tick(400000);
  EXPECT_TRUE(c.learning());
  c.Tick(500000);
  EXPECT_FALSE(c.learning());
}

TEST(ControllerFaults, SilenceAnswersNothingAndIgnoresWrites) {
  Controller c(0, Frozen());
  c.faults().silence = true;
  EXPECT_TRUE(c.Handle(Request(1), 0).empty());
  EXPECT_TRUE(c.Handle(Write(16, 99), 0).empty());
  c.faults().silence = false;
  EXPECT_EQ(c.Block(4)[1], 40);
}

TEST(ControllerFaults, MarkerBadsumAndShortShapeEveryReply) {
  Controller c(0, Frozen());
  c.faults().marker = true;
  Bytes r = c.Handle(Request(2), 0);
  EXPECT_EQ(r[0], kWrongMarker);
  EXPECT_EQ(r.back(), Checksum(r.data(), r.size() - 1));  // only the marker is wrong
  EXPECT_EQ(c.Handle(Write(16, 9), 0)[0], kWrongMarker);

  c.faults().marker = false;
  c.faults().badsum = true;
  r = c.Handle(Request(5), 0);
  EXPECT_EQ(r[0], kMarker);
  EXPECT_EQ(r.back(), static_cast<std::uint8_t>(Checksum(r.data(), 20) + 1));
  EXPECT_EQ(c.Handle(Write(16, 9), 0), (Bytes{0x65, 9, 0x6F}));

  c.faults().badsum = false;
  c.faults().shortLength = 2;
  EXPECT_EQ(c.Handle(Request(1), 0), (Bytes{0x65, 0x01}));
  EXPECT_EQ(c.Handle(Write(16, 9), 0), (Bytes{0x65, 9}));
  c.faults().shortLength = 0;
  EXPECT_TRUE(c.Handle(Request(3), 0).empty());
  c.faults().shortLength = 30;
  EXPECT_EQ(c.Handle(Request(3), 0).size(), 14u);
}

TEST(ControllerFaults, NoEchoAfterCountsWritesThenGoesDeafToThem) {
  Controller c(0, Frozen());
  c.faults().noEchoAfter = 2;
  EXPECT_EQ(c.Handle(Write(16, 1), 0).size(), 3u);
  EXPECT_EQ(c.Handle(Request(1), 0).size(), 4u);  // reads do not count
  EXPECT_EQ(c.Handle(Write(17, 2), 0).size(), 3u);
  EXPECT_TRUE(c.Handle(Write(19, 3), 0).empty());
  EXPECT_EQ(c.Handle(Request(4), 0).size(), 16u);  // reads still answered
  const Bytes b4 = c.Block(4);
  EXPECT_EQ(b4[1], 1);
  EXPECT_EQ(b4[2], 2);
  EXPECT_EQ(b4[3], 25);  // the unacknowledged write was not applied
  c.faults().noEchoAfter = -1;
  EXPECT_EQ(c.Handle(Write(19, 3), 0).size(), 3u);
}

TEST(ControllerFaults, WrongEchoAppliesTheWriteButEchoesAnotherValue) {
  Controller c(0, Frozen());
  c.faults().wrongEcho = true;
  const Bytes ack = c.Handle(Write(16, 0x28 + 1), 0);
  ASSERT_EQ(ack.size(), 3u);
  EXPECT_NE(ack[1], 0x29);
  EXPECT_EQ(ack[2], static_cast<std::uint8_t>(ack[0] + ack[1]));
  EXPECT_EQ(c.Block(4)[1], 0x29);
}

TEST(ControllerFaults, NoReplySilencesOneRequestOnly) {
  Controller c(0, Frozen());
  c.faults().noReply[5] = true;
  EXPECT_TRUE(c.Handle(Request(5), 0).empty());
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(c.Handle(Request(n), 0).size(), BlockLength(n)) << n;
  EXPECT_EQ(c.Handle(Write(33, 7), 0), (Bytes{0x65, 0x07, 0x6C}));  // writes still answered
  EXPECT_EQ(c.Block(5)[1], 7);
  c.faults().noReply[5] = false;
  EXPECT_EQ(c.Handle(Request(5), 0).size(), 21u);
}

TEST(ControllerFaults, RefuseResetHoldsOrClearsTheOperatingBit) {
  Controller c(0, Frozen());
  auto bit3 = [&] { return c.Handle(Request(2), 0)[7] & 0x08; };
  EXPECT_EQ(bit3(), 0x08);  // engine running
  c.faults().refuse = RefuseMode::Off;
  EXPECT_EQ(bit3(), 0);
  c.faults().refuse = RefuseMode::On;
  c.SetEngine(false, 0);
  EXPECT_EQ(bit3(), 0x08);
  c.faults().refuse = RefuseMode::Auto;
  EXPECT_EQ(bit3(), 0);  // engine stopped
}

TEST(Controller, SetPinsLiveBytesUntilUnpinned) {
  Controller c(0);  // live
  ASSERT_TRUE(c.Set(2, 8, 0x01));
  ASSERT_TRUE(c.Set(2, 6, 0x0E));
  ASSERT_TRUE(c.Set(2, 5, 0xA6));
  c.Handle(Write(30, 50), 0);  // learning does not touch a pinned byte 8
  Bytes b2 = c.Handle(Request(2), 20000000);
  EXPECT_EQ(b2[8], 0x01);
  EXPECT_EQ(b2[6] * 256 + b2[5], 3750);
  EXPECT_TRUE(ValidReply(b2));
  c.UnpinAll();
  b2 = c.Handle(Request(2), 20000000);
  EXPECT_NE(b2[6] * 256 + b2[5], 3750);
  EXPECT_FALSE(c.Set(2, 0, 1));   // marker
  EXPECT_FALSE(c.Set(2, 10, 1));  // checksum
  EXPECT_FALSE(c.Set(6, 1, 1));
}

}  // namespace
}  // namespace kv::sim
