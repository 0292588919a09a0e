// The readings panel's message rules, fuel-state field, learn lamp, learn button and poll tick.
#include "readings_test_panel.h"

namespace kv {
namespace {

using testing::DrawCall;
using testing::FakePort;
using testing::ReadingsPanel;

// F: Block 2 byte 8.
constexpr std::uint8_t kGas = 0x01, kLearning = 0x02, kLpgOff = 0x04, kCutOff = 0x08,
                       kLearnDone = 0x10, kLearnBusy = 0x20, kBit6 = 0x40, kBit7 = 0x80;

TEST(ReadingsMessages, OfflineOtherVersionNotOperatingAndReducedStatus) {
  ReadingsPanel r;
  r.p.link.offline = true;
  r.p.readings.onGas = true;
  r.Refresh();
  EXPECT_EQ("t30", r.Line(1));
  EXPECT_EQ(colour::Red, r.LineColour(1));
  EXPECT_EQ("t31", r.Line(3));
  EXPECT_EQ(colour::Black, r.LineColour(3));
  EXPECT_EQ(" ", r.Line(2));
  EXPECT_EQ(" ", r.Line(4));
  EXPECT_EQ(" ", r.Line(5));
  EXPECT_EQ(colour::Green, r.FuelField()->brush.colour);
  EXPECT_EQ("t14", r.TextAt({515, 475}).text);
  EXPECT_FALSE(r.p.readings.onGas);

  r.p.link.offline = false;
  r.p.readings.onGas = true;
  r.Set({1, 2}, 0x20);  // version 2
  r.Refresh();
  EXPECT_EQ("t29", r.Line(1));
  EXPECT_EQ(" ", r.Line(3));
  EXPECT_EQ(nullptr, r.FuelField());  // left as it is
  EXPECT_TRUE(r.p.readings.onGas);

  r.Set({1, 2}, 0x40);
  r.Set(bytes::Status, 0x00);  // not operating
  r.Refresh();
  EXPECT_EQ("t28", r.Line(3));
  EXPECT_EQ(colour::Red, r.LineColour(3));
  EXPECT_EQ("t12", r.Line(1));
  EXPECT_EQ(colour::Green, r.FuelField()->brush.colour);

  r.Set(bytes::Status, 0x08);
  r.Set(bytes::EmulType, 0x00);  // reduced status
  r.Set(bytes::Switches, kGas);
  r.Refresh();
  EXPECT_EQ("t13", r.Line(1));
  EXPECT_EQ(" ", r.Line(3));
  EXPECT_EQ(colour::Cyan, r.FuelField()->brush.colour);
  EXPECT_EQ("t15", r.TextAt({535, 475}).text);
  EXPECT_TRUE(r.p.readings.onGas);
  r.Set(bytes::Switches, 0);
  r.Refresh();
  EXPECT_EQ("t27", r.Line(3));
  EXPECT_EQ(colour::Red, r.LineColour(3));
  EXPECT_EQ("t12", r.Line(1));
}

TEST(ReadingsMessages, LpgOnCaptionTurnsGreenOneRefreshAfterTheGasField) {
  ReadingsPanel r;
  r.Set(bytes::Switches, kGas | kBit7 | kBit6);
  r.Refresh();
  EXPECT_EQ(colour::Cyan, r.FuelField()->brush.colour);
  EXPECT_EQ(colour::Black, r.TextAt({590, 290}).textColour);
  r.Refresh();
  EXPECT_EQ(colour::DarkGreen, r.TextAt({590, 290}).textColour);
  EXPECT_EQ(colour::LightGrey, r.TextAt({590, 290}).background);

  r.Set(bytes::Switches, kLpgOff | kCutOff);
  r.Refresh();
  EXPECT_EQ(colour::Red, r.TextAt({685, 290}).textColour);
  EXPECT_EQ(colour::Red, r.TextAt({485, 290}).textColour);
  EXPECT_EQ(" LPG OFF ", r.TextAt({685, 290}).text);
}

TEST(ReadingsMessages, LpgOffAndRunningStates) {
  ReadingsPanel r;
  r.Set(bytes::Switches, kLpgOff);
  r.Refresh();
  EXPECT_EQ("t21", r.Line(3));
  EXPECT_EQ("t22", r.Line(4));
  EXPECT_EQ(colour::Red, r.LineColour(4));
  EXPECT_EQ("-", r.Line(5));
  r.Set(bytes::Switches, kLpgOff | kBit7);
  r.Refresh();
  EXPECT_EQ(" ", r.Line(4));

  r.Set(bytes::Switches, kBit7);  // waiting: line 4 says why, by the engine speed
  r.Set(bytes::LPGOnRPMHi, 0x0E), r.Set(bytes::LPGOnRPMLo, 0xA6);  // 4000
  r.Refresh();
  EXPECT_EQ("t24", r.Line(3));
  EXPECT_EQ("t25", r.Line(4));
  EXPECT_EQ(colour::Red, r.LineColour(4));
  r.Set(bytes::PeriodHi, 0x0B), r.Set(bytes::PeriodLo, 0xB8);  // 3000 -> 5000 rpm
  r.Refresh();
  EXPECT_EQ("t26", r.Line(4));
  r.Set(bytes::Options, 0x10);  // LPG-on speed ignored
  r.Refresh();
  EXPECT_EQ("t25", r.Line(4));

  r.Set(bytes::Switches, 0);
  r.Refresh();
  EXPECT_EQ("t24", r.Line(3));
  EXPECT_EQ("t22", r.Line(4));

  r.Set(bytes::Switches, kBit7 | kBit6 | kCutOff);
  r.Refresh();
  EXPECT_EQ("t23", r.Line(5));
  EXPECT_EQ("-", r.Line(3));  // left as it was
  EXPECT_EQ(" ", r.Line(2));
}

TEST(ReadingsMessages, LearnOutcomesAndTheirFade) {
  ReadingsPanel r;
  r.Set(bytes::Switches, kGas | kBit7 | kBit6);
  r.p.readings.learnRequested = true;
  r.Set(bytes::Switches, kGas | kBit7 | kBit6 | kLearnDone | kLearnBusy);
  r.Refresh();
  EXPECT_EQ("t19", r.Line(5));  // still pending: written again at every refresh
  r.Refresh();
  EXPECT_EQ("t19", r.Line(5));
  EXPECT_TRUE(r.p.readings.learnRequested);

  r.Set(bytes::Switches, kGas | kBit7 | kBit6 | kLearnDone);
  r.Refresh();
  EXPECT_EQ("t20", r.Line(5));
  EXPECT_EQ(colour::Red, r.LineColour(5));
  EXPECT_FALSE(r.p.readings.learnRequested);

  r.p.readings.learnRequested = true;
  r.Set(bytes::Switches, kGas | kBit7 | kBit6);
  r.Refresh();
  EXPECT_EQ("t18", r.Line(5));
  EXPECT_FALSE(r.p.readings.learnRequested);
  // The message stays for 60 refreshes, then line 5 is blanked, and stays blank.
  for (int i = 1; i < 60; ++i) {
    r.Refresh();
    ASSERT_EQ("-", r.Line(5)) << "refresh " << i;
  }
  r.Refresh();
  EXPECT_EQ(" ", r.Line(5));
  r.Refresh();
  EXPECT_EQ(" ", r.Line(5));
}

TEST(ReadingsMessages, LearningAndTheLearnLamp) {
  ReadingsPanel r;
  r.Set(bytes::Switches, kGas | kLearning);
  r.Set(bytes::Status, 0x08 | 0x30);  // two TPS bits: no lamp, counts as idle
  r.Refresh();
  EXPECT_TRUE(r.p.readings.learnActive);
  EXPECT_FALSE(r.p.readings.nonIdleLamp);
  EXPECT_EQ("t17", r.Line(5));
  EXPECT_EQ(colour::Red, r.LineColour(5));
  EXPECT_EQ(" ", r.Line(3));
  for (int i = 0; i < 4; ++i) {  // idle: steady yellow
    r.Refresh();
    EXPECT_EQ(colour::Yellow, r.LearnLamp());
  }
  const auto lamp = r.canvas.Of(DrawCall::Ellipse).back();
  EXPECT_EQ((Rect{635, 470, 665, 500}), lamp.rect);
  EXPECT_EQ(colour::Black, lamp.pen.colour);

  r.Set(bytes::Status, 0x08 | 0x20);  // lamp 2: off idle, the lamp blinks every second refresh
  std::string seen;
  for (int i = 0; i < 8; ++i) {
    r.Refresh();
    seen += r.LearnLamp() == colour::Yellow ? 'Y' : 'o';
  }
  EXPECT_TRUE(seen == "YYooYYoo" || seen == "ooYYooYY") << seen;
  EXPECT_EQ("t16", r.Line(5));
  EXPECT_EQ(colour::Black, r.LineColour(5));

  r.Set(bytes::Switches, kGas);
  r.Refresh();
  EXPECT_FALSE(r.p.readings.learnActive);
  EXPECT_EQ(colour::Olive, r.LearnLamp());

  ReadingsPanel big(4);
  big.Refresh();
  EXPECT_EQ((Rect{1016, 794, 1066, 844}), big.canvas.Of(DrawCall::Ellipse).back().rect);
}

// A controller on the fake port: answers every request of version 3 and acknowledges writes.
int Count(const FakePort& port, const std::string& call) {
  int n = 0;
  for (const auto& c : port.calls) n += c == call;
  return n;
}

TEST(ReadingsButton, LearnIsSentOnlyOnGasOnlineAtVersion3) {
  ReadingsPanel r;
  r.controller.answers = true;
  LearnPressed(r.p, r.canvas, r.ui);  // petrol
  EXPECT_TRUE(r.port.calls.empty());
  EXPECT_FALSE(r.p.readings.learnRequested);

  r.p.readings.onGas = true;
  r.p.link.offline = true;
  LearnPressed(r.p, r.canvas, r.ui);
  r.p.link.offline = false;
  r.Set({1, 2}, 0x20);
  LearnPressed(r.p, r.canvas, r.ui);
  EXPECT_TRUE(r.port.calls.empty());
  EXPECT_FALSE(r.p.readings.learnRequested);
  EXPECT_TRUE(r.canvas.calls.empty());

  r.Set({1, 2}, 0x40);
  LearnPressed(r.p, r.canvas, r.ui);
  EXPECT_EQ(1, Count(r.port, "write 65 1F 32 B6"));
  EXPECT_TRUE(r.p.readings.learnRequested);
  EXPECT_TRUE(r.canvas.calls.empty());

  // While learning is reported: text 32 at once, the request dropped, the command still sent.
  r.p.readings.learnActive = true;
  r.p.readings.messageAge = 30;
  LearnPressed(r.p, r.canvas, r.ui);
  EXPECT_EQ(2, Count(r.port, "write 65 1F 32 B6"));
  EXPECT_FALSE(r.p.readings.learnRequested);
  EXPECT_EQ(0u, r.p.readings.messageAge);
  EXPECT_EQ("t32", r.Line(5));
  EXPECT_EQ(colour::Red, r.LineColour(5));
}

TEST(ReadingsTickTest, PollsBlocksAndStretchesThePeriodOffline) {
  ReadingsPanel r;
  r.p.link.offline = true;
  r.p.link.image.Clear();
  r.controller.answers = true;
  EXPECT_TRUE(ReadingsTick(r.p, r.canvas, r.ui));  // first tick arms the timer
  EXPECT_EQ(50, r.p.shared.armedPeriod);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(ReadingsTick(r.p, r.canvas, r.ui));
  EXPECT_EQ(8, Count(r.port, "write 65 02 02 69"));
  EXPECT_EQ(2, Count(r.port, "write 65 03 03 6B"));  // every fourth online tick
  EXPECT_EQ(2, Count(r.port, "write 65 04 04 6D"));
  EXPECT_EQ(0, Count(r.port, "write 65 05 05 6F"));

  r.p.shared.listOpen = true;  // a list is open elsewhere: no exchange, no drawing
  r.port.ClearLog();
  r.canvas.Clear();
  EXPECT_FALSE(ReadingsTick(r.p, r.canvas, r.ui));
  EXPECT_TRUE(r.port.calls.empty());
  EXPECT_TRUE(r.canvas.calls.empty());
  r.p.shared.listOpen = false;

  r.controller.answers = false;  // the controller falls silent
  EXPECT_FALSE(ReadingsTick(r.p, r.canvas, r.ui));
  EXPECT_FALSE(ReadingsTick(r.p, r.canvas, r.ui));
  r.canvas.Clear();
  EXPECT_TRUE(ReadingsTick(r.p, r.canvas, r.ui));  // third miss: offline, restart at 500 ms
  EXPECT_EQ(500, r.p.shared.armedPeriod);
  EXPECT_EQ("t30", r.Line(1));
  EXPECT_EQ("t31", r.Line(3));
  EXPECT_FALSE(ReadingsTick(r.p, r.canvas, r.ui));
}

}  // namespace
}  // namespace kv
