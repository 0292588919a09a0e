#include <gtest/gtest.h>

#include "link/signals.h"

namespace kv {
namespace {

void Put(MemoryImage& image, ByteRef at, std::uint8_t value) {
  image.blocks[static_cast<std::size_t>(at.block - 1)][at.index] = value;
}

// Every decoder of the live signals against one image per row: LambdaType (probe type, TPS code),
// the lambda, TPS and status bytes of Block 2, and the stored TPS jump.
TEST(Signals, DecodersByProbeTypeSensorCodeAndStatus) {
  using Kind = ThrottleReading::Kind;
  struct Case {
    std::uint8_t lambdaType, lambda, tps, status, tpsJump;
    long lambdaVolts;  // ten-thousandths
    Kind kind;
    long tpsVolts;
    bool switchOn;
    int lamp, lambdaState, sensorItem, jumpFiftieths;
    bool traceInverted;
  };
  const Case cases[] = {
      // 0-1 V probe, potentiometer: both read up from 0 V.
      {0x00, 51, 100, 0x11, 100, 9996, Kind::Volts, 19600, false, 1, 1, 0, 100, false},
      // 5-0 V probe and the inverted sensor (code 1) read down from 5 V; two lamp bits light none.
      {0x31, 51, 255, 0x30, 100, 40004, Kind::Volts, 20, false, 0, 0, 1, 150, true},
      {0x41, 0, 0, 0x84, 250, 50000, Kind::Volts, 50000, false, 4, 4, 1, 0, true},
      // Codes 2 and 3 have no reading; the trace still inverts code 3 (its own rule).
      {0x52, 255, 9, 0x20, 40, 49980, Kind::None, 0, false, 2, 0, 2, 40, false},
      {0x23, 1, 9, 0x47, 40, 196, Kind::None, 0, false, 3, 7, 2, 40, true},
      // Codes 6 and 7 are switches: on while the status's switch bit (0x10) is clear.
      {0x06, 0, 9, 0x10, 0, 0, Kind::Switch, 0, false, 1, 0, 3, 0, false},
      {0x07, 0, 9, 0x08, 0, 0, Kind::Switch, 0, true, 0, 0, 4, 0, false},
      // Codes 8..15 share the list's last item; 9 reads up, but its trace is drawn inverted.
      {0x09, 0, 10, 0x00, 5, 0, Kind::Volts, 1960, false, 0, 0, 5, 5, true},
  };
  for (const Case& c : cases) {
    MemoryImage image;
    Put(image, bytes::LambdaType, c.lambdaType);
    Put(image, bytes::Lambda, c.lambda);
    Put(image, bytes::Tps, c.tps);
    Put(image, bytes::Status, c.status);
    Put(image, bytes::TPSJump, c.tpsJump);
    SCOPED_TRACE(::testing::Message() << "LambdaType " << int{c.lambdaType} << " status "
                                      << int{c.status});
    EXPECT_EQ(c.lambdaVolts, LambdaVolts(image));
    const ThrottleReading throttle = DecodeThrottle(image);
    EXPECT_EQ(c.kind, throttle.kind);
    if (c.kind == Kind::Volts) {
      EXPECT_EQ(c.tpsVolts, throttle.volts);
    }
    if (c.kind == Kind::Switch) {
      EXPECT_EQ(c.switchOn, throttle.on);
    }
    EXPECT_EQ(c.lamp, ThrottleLamp(c.status));
    EXPECT_EQ(c.lambdaState, LambdaState(c.status));
    EXPECT_EQ(c.sensorItem, TpsSensorItem(TpsCode(c.lambdaType)));
    EXPECT_EQ(c.jumpFiftieths, TpsJumpFiftieths(c.lambdaType, c.tpsJump));
    EXPECT_EQ(c.tpsJump, TpsJumpByte(c.lambdaType, c.jumpFiftieths));
    EXPECT_EQ(c.traceInverted, ThrottleTraceInverted(c.lambdaType));
  }
  // The TPS inertia list runs 0.04..0.40 V over bytes 1..19; the gas sensor type round-trips
  // through its Options bits, bit 0 winning over bit 7.
  EXPECT_EQ(4, TpsInertHundredths(1));
  EXPECT_EQ(40, TpsInertHundredths(19));
  EXPECT_EQ(0, GasSensorTypeIndex(0x81));
  for (int type = 0; type < 3; ++type)
    EXPECT_EQ(type, GasSensorTypeIndex(static_cast<std::uint8_t>(GasSensorTypeBits(type) | 0x7E)));
}

}  // namespace
}  // namespace kv
