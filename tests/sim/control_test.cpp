#include <gtest/gtest.h>

#include "control.h"

namespace kv::sim {
namespace {

struct ControlFixture : ::testing::Test {
  ControlFixture() { o.frozen = true; }
  ControllerOptions o;
  Controller c{0, o};
  Host h;
  std::string Run(const char* line) { return RunControl(c, h, line, 0); }
};

TEST_F(ControlFixture, FaultSwitchesReachTheController) {
  EXPECT_EQ(Run("silence on"), "ok silence on");
  EXPECT_TRUE(c.faults().silence);
  EXPECT_EQ(Run("marker on"), "ok marker on");
  EXPECT_EQ(Run("badsum on"), "ok badsum on");
  EXPECT_EQ(Run("wrongecho on"), "ok wrongecho on");
  EXPECT_EQ(Run("short 3"), "ok short 3");
  EXPECT_EQ(Run("noecho-after 10"), "ok noecho-after 10");
  EXPECT_EQ(Run("refuse-reset on"), "ok refuse-reset on");
  EXPECT_EQ(Run("noreply 5 on"), "ok noreply 5 on");
  EXPECT_EQ(Run("noreply 2 on"), "ok noreply 2 on");
  EXPECT_NE(Run("status").find(" noreply=2,5 "), std::string::npos);
  const Faults& f = c.faults();
  EXPECT_TRUE(f.marker && f.badsum && f.wrongEcho);
  EXPECT_EQ(f.shortLength, 3);
  EXPECT_EQ(f.noEchoAfter, 10);
  EXPECT_EQ(f.refuse, RefuseMode::On);
  EXPECT_EQ(Run("short off"), "ok short off");
  EXPECT_EQ(f.shortLength, -1);
  EXPECT_EQ(Run("faults off"), "ok faults off");
  EXPECT_FALSE(f.silence || f.marker || f.badsum || f.wrongEcho);
  EXPECT_FALSE(f.noReply[2] || f.noReply[5]);
  EXPECT_EQ(f.noEchoAfter, -1);
  EXPECT_EQ(f.refuse, RefuseMode::Auto);
}

TEST_F(ControlFixture, SetGetDumpAndIdentity) {
  EXPECT_EQ(Run("set 4 5 0x70"), "ok set 4 5 112");
  EXPECT_EQ(Run("get 4 5"), "ok 112");
  EXPECT_EQ(Run("get 4 15"), "ok " + std::to_string(c.Block(4)[15]));  // the checksum as sent
  EXPECT_EQ(Run("version 2"), "ok version 2 identity 0x25");
  EXPECT_EQ(Run("revision 7"), "ok revision 7 identity 0x27");
  EXPECT_EQ(Run("dump").substr(0, 20), "ok b1=65 01 27 8D | ");
  EXPECT_NE(Run("dump").find(" b4=65 28 28 19 14 70 1D"), std::string::npos);
}

TEST_F(ControlFixture, BadInputIsAnErrorAndChangesNothing) {
  const std::vector<std::uint8_t> before = c.Block(4);
  for (const char* bad : {"", "   ", "set 4 5", "set 4 5 256", "set 4 0 1", "set 4 15 1",
                          "set 0 1 1", "set 4 5 12x", "set 4 -1 3", "get 6 1", "short",
                          "short -1", "version 9", "revision 32", "marker maybe", "static",
                          "advance -1", "advance nan", "learn-result great", "refuse-reset 1",
                          "frobnicate", "temp 500", "noreply 6 on", "noreply 5",
                          "noreply 0 off"}) {
    EXPECT_EQ(Run(bad).rfind("error", 0), 0u) << '"' << bad << '"';
  }
  EXPECT_EQ(c.Block(4), before);
  EXPECT_EQ(c.version(), 3);
}

TEST_F(ControlFixture, HostSettingsAndQuit) {
  EXPECT_EQ(Run("pacing off"), "ok pacing off");
  EXPECT_FALSE(h.pacing);
  EXPECT_EQ(Run("delay 15"), "ok delay 15");
  EXPECT_EQ(h.delay, 15000);
  EXPECT_EQ(Run("latency 16"), "ok latency 16");
  EXPECT_EQ(h.latency, 16000);
  EXPECT_EQ(Run("latency 256").rfind("error", 0), 0u);
  EXPECT_EQ(h.latency, 16000);
  int cleared = 0;
  h.clearLog = [&] { return ++cleared, true; };
  EXPECT_EQ(Run("log-clear"), "ok log-clear");
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(Run("learn-time 250"), "ok learn-time 250");
  EXPECT_EQ(c.learnDuration(), 250000);
  EXPECT_NE(Run("status").find(" pacing=off delay=15 latency=16 "), std::string::npos);
  EXPECT_FALSE(h.quit);
  EXPECT_EQ(Run("quit"), "ok quit");
  EXPECT_TRUE(h.quit);
}

TEST_F(ControlFixture, EngineAndAdvanceDriveTheCar) {
  EXPECT_EQ(Run("advance 12"), "ok advance 12");
  EXPECT_TRUE(c.car().onGas());
  EXPECT_EQ(Run("engine stop"), "ok engine stop");
  EXPECT_EQ(Run("get 2 6"), "ok 255");
  EXPECT_EQ(Run("engine run"), "ok engine run");
  EXPECT_NE(Run("get 2 6"), "ok 255");
}

}  // namespace
}  // namespace kv::sim
