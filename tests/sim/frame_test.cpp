#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frame.h"
#include "line.h"

namespace kv::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Feeder {
  FrameParser parser{200000};
  std::vector<Received> out;
  void Feed(const Bytes& b, Micros now = 0) { parser.Feed(b.data(), b.size(), now, out); }
  std::string Summary() const {  // "F:65 01 01 67|G:00"
    std::string s;
    for (const Received& r : out) {
      if (!s.empty()) s += '|';
      s += r.garbage ? "G:" : "F:";
      for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", r.bytes[i]);
        s += hex;
      }
    }
    return s;
  }
};

TEST(FrameParser, SplitsBackToBackFramesFedInPieces) {
  Feeder f;
  f.Feed({0x65, 0x01});
  EXPECT_EQ(f.parser.pending(), 2u);
  f.Feed({0x01, 0x67, 0x65, 0x1F, 0x32});
  f.Feed({0xB6});
  EXPECT_EQ(f.Summary(), "F:65 01 01 67|F:65 1F 32 B6");
  EXPECT_EQ(f.parser.pending(), 0u);
}

TEST(FrameParser, ResynchronisesOnGarbageAndDropsBadChecksums) {
  Feeder f;
  // Leading noise, a frame with a bad checksum, a stray marker, then a good frame.
  f.Feed({0x00, 0xFF, 0x65, 0x01, 0x01, 0x68, 0x65, 0x65, 0x02, 0x02, 0x69});
  EXPECT_EQ(f.Summary(), "G:00 FF 65 01 01 68 65|F:65 02 02 69");
}

TEST(FrameParser, MarkerInsideRejectedCandidateStartsTheNextFrame) {
  Feeder f;
  // 65 01 65 01 fails; the scan must restart at the second 65 and find 65 01 01 67.
  f.Feed({0x65, 0x01, 0x65, 0x01, 0x01, 0x67});
  EXPECT_EQ(f.Summary(), "G:65 01|F:65 01 01 67");
}

TEST(FrameParser, StalePartialFrameIsDroppedAfterTheGap) {
  Feeder f;
  f.Feed({0x65, 0x01}, 0);
  f.parser.Expire(100000, f.out);
  EXPECT_TRUE(f.out.empty());
  EXPECT_EQ(f.parser.deadline(), 200000);
  // The rest arrives too late: the old bytes are garbage and the new ones are judged alone.
  f.Feed({0x65, 0x01, 0x01, 0x67}, 300000);
  EXPECT_EQ(f.Summary(), "G:65 01|F:65 01 01 67");
  EXPECT_EQ(f.parser.deadline(), -1);
}

TEST(FrameParser, LargeNoiseNeverGrowsTheBuffer) {
  Feeder f;
  Bytes noise(100000);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 37 + 11);
  f.Feed(noise);
  EXPECT_LE(f.parser.pending(), 3u);
  std::size_t accounted = f.parser.pending();
  for (const Received& r : f.out) accounted += r.bytes.size();
  EXPECT_EQ(accounted, noise.size());  // every byte is a frame byte, garbage or still pending
}

TEST(LineOut, PacesRepliesAt9600BaudAfterTheRequestAndDelay) {
  LineOut line;
  ASSERT_TRUE(line.Queue({0x65, 0x01, 0x45, 0xAB}, 1000000, true, 2000));
  // First byte: 4 request bytes + delay + its own wire time.
  EXPECT_EQ(line.nextDue(), 1000000 + WireTime(4) + 2000 + WireTime(1));
  EXPECT_EQ(line.Due(1000000 + WireTime(4) + 2000 + WireTime(2)), 2u);
  // A second reply queued meanwhile starts after the first has left.
  ASSERT_TRUE(line.Queue({0x65, 0x70, 0xD5}, 1000000, true, 2000));
  EXPECT_EQ(line.Due(1000000 + WireTime(4) + 2000 + WireTime(7)), 7u);
  EXPECT_EQ(line.Due(1000000 + WireTime(4) + 2000 + WireTime(6)), 6u);
  std::uint8_t buf[8];
  ASSERT_EQ(line.Peek(buf, 8), 7u);
  line.Consume(7);
  EXPECT_TRUE(line.empty());
}

TEST(LineOut, WithoutPacingEverythingIsDueAtOnceAndTheQueueIsBounded) {
  LineOut line;
  ASSERT_TRUE(line.Queue(Bytes(21, 1), 500, false, 2000));
  EXPECT_EQ(line.Due(500), 21u);
  EXPECT_FALSE(line.Queue(Bytes(LineOut::kCapacity, 0), 500, false, 0));
  EXPECT_EQ(line.Due(500), 21u);
}

// Each reply is paced as on the wire, then held by the adapter until its timer's next expiry
// (a grid of `latency` steps from SetLatency) or until 62 bytes fill a packet.
TEST(LineOut, AnAdapterHoldsRepliesUntilItsTimerRunsOutOrAPacketFills) {
  constexpr Micros kMs = 1000;
  struct Case {
    const char* what;
    Micros latency, arrival, delay;
    std::size_t length;
    bool pacing;
    std::vector<std::pair<Micros, std::size_t>> due;  // (time, bytes the reader may have)
  };
  const Case cases[] = {
      {"identification ends at 8.3 ms: out at the first expiry", 16 * kMs, 0, 0, 4, true,
       {{8334, 0}, {16 * kMs - 1, 0}, {16 * kMs, 4}}},
      {"Block 2 a little late misses one expiry and waits for the next", 16 * kMs, 16300, 0, 11,
       true, {{31999, 0}, {32 * kMs, 11}}},
      {"a reply across an expiry goes out in two packets", 16 * kMs, 16 * kMs, 2 * kMs, 11, true,
       {{32 * kMs, 9}, {48 * kMs - 1, 9}, {48 * kMs, 11}}},
      {"at 1 ms each byte is out within a millisecond", 1 * kMs, 0, 0, 4, true,
       {{5 * kMs, 0}, {6 * kMs, 1}, {8999, 3}, {9 * kMs, 4}}},
      {"62 bytes go at once and restart the timer off the grid", 16 * kMs, 5 * kMs, 0, 70, false,
       {{5 * kMs, 62}, {21 * kMs - 1, 62}, {21 * kMs, 70}}},
      {"no adapter: each byte when it is on the wire", 0, 0, 0, 4, true,
       {{WireTime(5), 1}, {WireTime(8), 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LineOut line;
    line.SetLatency(c.latency, 0);
    ASSERT_TRUE(line.Queue(Bytes(c.length, 0x65), c.arrival, c.pacing, c.delay));
    for (const auto& [time, bytes] : c.due) EXPECT_EQ(line.Due(time), bytes) << "at " << time;
  }
}

TEST(LineOut, TheReaderIsWokenAtTheExpiryAndConsumingKeepsTheRest) {
  LineOut line;
  line.SetLatency(16000, 0);
  ASSERT_TRUE(line.Queue(Bytes(11, 1), 16000, true, 2000));
  EXPECT_EQ(line.nextDue(), 32000);  // not the first byte's wire time
  ASSERT_EQ(line.Due(32000), 9u);
  line.Consume(5);
  EXPECT_EQ(line.Due(32000), 4u);  // sent on by the adapter, not yet written to the pty
  line.Consume(4);
  EXPECT_EQ(line.nextDue(), 48000);
  line.SetLatency(0, 40000);  // the adapter taken away: the held bytes are due on the wire
  EXPECT_EQ(line.Due(40000), 2u);
}

TEST(FrameLog, LineFormat) {
  const std::uint8_t frame[] = {0x65, 0x16, 0x70, 0xEB};
  EXPECT_EQ(LogLine(12345678, true, frame, 4, false), "12.345678 in 65 16 70 EB");
  EXPECT_EQ(LogLine(5, false, frame, 1, false), "0.000005 out 65");
  EXPECT_EQ(LogLine(1000000, true, frame + 1, 2, true), "1.000000 in 16 70 # garbage");
}

}  // namespace
}  // namespace kv::sim
