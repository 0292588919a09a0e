// The readings panel's values and geometry, seen through the recording canvas.
#include "readings_test_panel.h"

namespace kv {
namespace {

using testing::DrawCall;
using testing::Frame;
using testing::ReadingsPanel;

TEST(ReadingsValues, LambdaVoltageAndMarkers) {
  ReadingsPanel r;
  r.Set(bytes::LambdaType, 0x10);  // probe type 1
  r.Set(bytes::Lambda, 51);
  r.Set(bytes::Status, 0x08 | 4);  // state 4: red
  r.Refresh();
  EXPECT_EQ("0.99", r.TextAt({40, 45}).text);  // 0.9996 V cut to four characters
  EXPECT_EQ(FontKind::Value, r.TextAt({40, 45}).font);
  const DrawCall* marker = r.RectAt({191, 52, 231, 70});
  ASSERT_NE(nullptr, marker);
  EXPECT_EQ((Brush{colour::Red}), marker->brush);
  EXPECT_EQ((Pen{colour::Red, 1}), marker->pen);
  ASSERT_NE(nullptr, r.RectAt({231, 52, 436, 70}));  // the rest of the row light grey
  EXPECT_EQ(colour::LightGrey, r.RectAt({231, 52, 436, 70})->brush.colour);

  r.Set(bytes::LambdaType, 0x30);  // probe type 3 shows 5 - v
  r.Refresh();
  EXPECT_EQ("4.00", r.TextAt({40, 45}).text);
  r.Set(bytes::Lambda, 0);
  r.Refresh();
  EXPECT_EQ("5.00", r.TextAt({40, 45}).text);

  r.Set(bytes::LambdaType, 0x00);  // probe type 0: five times the byte, capped at the bar end
  r.Set(bytes::Lambda, 52);
  r.Set(bytes::Status, 0x08 | 1);
  r.Refresh();
  ASSERT_NE(nullptr, r.RectAt({395, 52, 435, 70}));
  EXPECT_EQ(colour::DarkGreen, r.RectAt({395, 52, 435, 70})->brush.colour);
}

TEST(ReadingsValues, NeutralPointMarkerNeverLeavesTheBar) {
  ReadingsPanel r;
  r.Set(bytes::LambdaType, 0x10);
  r.Set(bytes::LambdaPoint, 23);
  r.Refresh();
  EXPECT_EQ(colour::Black, r.RectAt({163, 73, 203, 77})->brush.colour);

  r.Set(bytes::LambdaType, 0x00);
  r.Set(bytes::LambdaPoint, 70);  // five times: 350, past the bar
  r.Refresh();
  for (const auto& c : r.canvas.Of(DrawCall::Rectangle)) {
    if (c.rect.top == 73) {
      EXPECT_LE(std::max(c.rect.left, c.rect.right), 436);
    }
  }
  EXPECT_EQ(colour::LightGrey, r.RectAt({140, 73, 436, 77})->brush.colour);
}

TEST(ReadingsValues, TpsLampsVoltageAndSwitchText) {
  ReadingsPanel r;
  r.Set(bytes::Status, 0x08 | 0x40);  // lamp 3
  r.Set(bytes::Tps, 100);
  r.Refresh();
  EXPECT_EQ(colour::Yellow, r.RectAt({288, 160, 360, 185})->brush.colour);
  EXPECT_EQ(colour::LightGrey, r.RectAt({140, 160, 212, 185})->brush.colour);
  EXPECT_EQ(colour::Cyan, r.RectAt({140, 160, 212, 185})->pen.colour);
  EXPECT_EQ("1.96", r.TextAt({40, 155}).text);

  r.Set(bytes::Status, 0x08 | 0x30);  // two bits: no lamp
  r.Set(bytes::LambdaType, 0x01);     // sensor code 1 shows 5 - v
  r.Refresh();
  for (const auto& c : r.canvas.Of(DrawCall::Rectangle)) {
    if (c.rect.top == 160) {
      EXPECT_EQ(colour::LightGrey, c.brush.colour);
    }
  }
  EXPECT_EQ("3.04", r.TextAt({40, 155}).text);

  r.Set(bytes::LambdaType, 0x02);
  r.Refresh();
  EXPECT_EQ("_.__", r.TextAt({40, 155}).text);

  r.Set(bytes::LambdaType, 0x06);  // a switch: bit 4 set means OFF
  r.Set(bytes::Status, 0x08 | 0x10);
  r.Refresh();
  EXPECT_EQ("OFF", r.TextAt({40, 155}).text);
  EXPECT_NE(nullptr, r.RectAt({30, 155, 105, 195}));
  r.Set(bytes::LambdaType, 0x07);
  r.Set(bytes::Status, 0x08);
  r.Refresh();
  EXPECT_EQ(" ON", r.TextAt({40, 155}).text);
  EXPECT_NE(nullptr, r.RectAt({30, 155, 110, 195}));

  r.Set(bytes::TPSInert, 49);  // 0.98 + 0.02
  r.Refresh();
  EXPECT_EQ("1.00", r.TextAt({305, 196}).text);
  EXPECT_EQ(FontKind::Label, r.TextAt({305, 196}).font);
}

TEST(ReadingsValues, TpsLampsArePlacedInPixelsPerScreenSize) {
  ReadingsPanel r(5);
  r.Set(bytes::Status, 0x08 | 0x80);
  r.Refresh();
  EXPECT_EQ(colour::Red, r.RectAt({579, 288, 694, 335})->brush.colour);
  ReadingsPanel small(1);
  small.Set(bytes::Status, 0x08 | 0x10);
  small.Refresh();
  EXPECT_EQ(colour::Cyan, small.RectAt({113, 123, 170, 142})->brush.colour);
}

TEST(ReadingsValues, EngineSpeedAndThresholds) {
  ReadingsPanel r;
  const auto speedFor = [&r](std::uint8_t hi, std::uint8_t lo) {
    r.Set(bytes::PeriodHi, hi);
    r.Set(bytes::PeriodLo, lo);
    r.Refresh();
    return r.TextAt({590, 210}).text;
  };
  EXPECT_EQ("4000", speedFor(0x0E, 0xA6));
  EXPECT_EQ(4000, r.p.shared.engineSpeed);
  EXPECT_EQ("0600", speedFor(0x5D, 0xC0));  // 12.5 rounds down
  EXPECT_EQ("0000", speedFor(0, 0));
  EXPECT_EQ("0000", speedFor(255, 0x10));
  EXPECT_EQ(0, r.p.shared.engineSpeed);
  EXPECT_EQ("1000", speedFor(0x05, 0xDC));  // period 1500: 10000 rpm, four digits shown

  r.Set(bytes::CutOffRPMHi, 0x17), r.Set(bytes::CutOffRPMLo, 0x70);  // 2500
  r.Set(bytes::LPGOffRPMHi, 0x0D), r.Set(bytes::LPGOffRPMLo, 0x05);  // 3333 -> 4500
  r.Set(bytes::Options, 0x40);
  r.Refresh();
  EXPECT_EQ("2500", r.TextAt({510, 265}).text);
  EXPECT_EQ(colour::Grey, r.TextAt({510, 265}).textColour);  // cut-off not in use
  EXPECT_EQ("4500", r.TextAt({705, 265}).text);
  EXPECT_EQ(colour::Black, r.TextAt({705, 265}).textColour);
  EXPECT_EQ(colour::White, r.TextAt({705, 265}).background);
}

TEST(ReadingsValues, DialRedrawsOnlyWhenSpeedOrLpgOffSpeedChange) {
  ReadingsPanel r;
  const auto dialLines = [&r] { return r.canvas.Of(DrawCall::Line).size(); };
  r.Set(bytes::PeriodHi, 0x0E), r.Set(bytes::PeriodLo, 0xA6);
  r.Refresh();
  EXPECT_EQ(53u, dialLines());
  r.Refresh();
  EXPECT_EQ(0u, dialLines());
  r.Set(bytes::LPGOffRPMHi, 0x0D), r.Set(bytes::LPGOffRPMLo, 0x05);
  r.Set(bytes::Options, 0x40);
  r.Refresh();
  EXPECT_EQ(53u, dialLines());
  EXPECT_EQ(4500, r.p.readings.dial.lpgOffSpeed);
  int red = 0;
  for (const auto& c : r.canvas.Of(DrawCall::Line)) red += c.pen == Pen{colour::Red, 4};
  EXPECT_EQ(4, red);
  r.Set(bytes::PeriodHi, 0x1D), r.Set(bytes::PeriodLo, 0x4C);  // 7500: 2000 rpm
  r.Set(bytes::LPGOffRPMHi, 0x0E), r.Set(bytes::LPGOffRPMLo, 0xA6);
  r.Refresh();
  EXPECT_EQ(106u, dialLines());  // both changed: two redraws
  EXPECT_EQ(2000, r.p.readings.dial.lastDialSpeed);
  r.Refresh();
  EXPECT_EQ(0u, dialLines());
}

TEST(ReadingsValues, TemperaturesAndHiddenField) {
  ReadingsPanel r;
  const auto temperature = [&r](std::uint8_t raw) {
    r.Set(bytes::Temperature, raw);
    r.Refresh();
    return r.TextAt({490, 375}).text;
  };
  EXPECT_EQ("000", temperature(67));
  EXPECT_EQ("012", temperature(100));
  EXPECT_EQ("051", temperature(199));
  EXPECT_EQ("051", temperature(200));
  EXPECT_EQ("110", temperature(255));
  EXPECT_EQ("255", r.ui[kRawTemperatureField].text);

  r.Set(bytes::LPGOnTemp, 255);  // clamps to 100, shown whole in a field that fills its room
  r.Set(bytes::Options, 0x02);
  r.Refresh();
  const DrawCall on = r.TextAt({705, 385});
  EXPECT_EQ("100", on.text);
  EXPECT_EQ(colour::Black, on.textColour);
  EXPECT_EQ((Rect{705, 385, 740, 403}), on.rect);
  r.Set(bytes::LPGOnTemp, 145);
  r.Set(bytes::Options, 0);
  r.Refresh();
  EXPECT_EQ("30", r.TextAt({705, 385}).text);
  EXPECT_EQ(colour::Grey, r.TextAt({705, 385}).textColour);
}

TEST(ReadingsValues, ActuatorBarBandsAndJumpMarker) {
  ReadingsPanel r;
  r.Set(bytes::Actuator, 100);
  r.Set(bytes::AttInit, 250);
  r.Set(bytes::AttMax, 20), r.Set(bytes::AttMin, 10);
  r.Set(bytes::AttMax_BJ, 3), r.Set(bytes::AttMin_BJ, 4);
  r.Refresh();
  EXPECT_EQ("100", r.TextAt({40, 265}).text);
  EXPECT_EQ(colour::Navy, r.RectAt({161, 270, 261, 290})->brush.colour);
  EXPECT_EQ(colour::LightGrey, r.RectAt({261, 270, 417, 290})->brush.colour);
  EXPECT_EQ(colour::Red, r.RectAt({401, 307, 418, 312})->brush.colour);   // clipped at 418
  EXPECT_EQ(colour::Cyan, r.RectAt({407, 300, 414, 305})->brush.colour);
  EXPECT_EQ(colour::LightGrey, r.RectAt({160, 307, 401, 312})->brush.colour);
  EXPECT_EQ(colour::LightGrey, r.RectAt({414, 300, 418, 305})->brush.colour);

  r.Set(bytes::AttInit, 5);
  r.Set(bytes::AttMin, 20);
  r.Refresh();
  EXPECT_EQ(colour::Red, r.RectAt({161, 307, 186, 312})->brush.colour);  // clipped at 161

  // AttInit 100, AttJump 50: the marker at 100 + 50 = 150, shown with Options bit 3 only for
  // sensors that are not switches.
  r.Set(bytes::AttInit, 100);
  r.Set(bytes::AttJump, 50);
  r.Set(bytes::Options, 0x08);
  r.Refresh();
  EXPECT_EQ(colour::Black, r.RectAt({310, 293, 312, 298})->brush.colour);
  EXPECT_EQ(colour::LightGrey, r.RectAt({312, 293, 425, 298})->brush.colour);
  r.Set(bytes::LambdaType, 0x06);
  r.Refresh();
  EXPECT_EQ(nullptr, r.RectAt({310, 293, 312, 298}));
  r.Set(bytes::LambdaType, 0);
  r.Set(bytes::AttJump, 200);  // capped at 255
  r.Refresh();
  EXPECT_NE(nullptr, r.RectAt({415, 293, 417, 298}));
}

TEST(ReadingsValues, AttInitPointerAreaClearedOnlyWhenItMoves) {
  ReadingsPanel r;
  const Rect area{140, 316, 440, 360};
  r.Set(bytes::AttInit, 80);
  r.Refresh();
  EXPECT_NE(nullptr, r.RectAt(area));
  EXPECT_EQ("080", r.TextAt({227, 326}).text);
  EXPECT_EQ("^", r.TextAt({237, 315}).text);
  EXPECT_EQ("t6", r.TextAt({224, 345}).text);
  r.Refresh();
  EXPECT_EQ(nullptr, r.RectAt(area));
  EXPECT_EQ("080", r.TextAt({227, 326}).text);  // still drawn at every refresh
  r.Set(bytes::AttInit, 81);
  r.Refresh();
  EXPECT_NE(nullptr, r.RectAt(area));
}

TEST(ReadingsFrame, StaticPartsButtonAndLogo) {
  ReadingsPanel r(5);
  DrawReadingsFrame(r.p, r.canvas, r.ui);
  const auto boxes = r.canvas.Of(DrawCall::RoundRect);
  ASSERT_EQ(7u, boxes.size());
  EXPECT_EQ((Rect{752, 36, 1248, 579}), boxes.back().rect);  // the speed box, white
  EXPECT_EQ(colour::White, boxes.back().brush.colour);
  EXPECT_EQ((std::vector<Point>{{20, 20}}), boxes[0].points);  // 20 x 20 corners at every size
  EXPECT_EQ("t33", r.ui[kLearnButton].text);
  EXPECT_EQ(1136, r.ui[kLogoPicture].x);
  EXPECT_EQ(45, r.ui[kLogoPicture].y);
  EXPECT_EQ(104, r.ui[kLogoPicture].width);
  EXPECT_EQ(76, r.ui[kLogoPicture].height);  // its height follows the panel's vertical scale
  EXPECT_EQ(53u, r.canvas.Of(DrawCall::Line).size());  // the dial is part of the frame
  EXPECT_EQ("t0", r.TextAt({384, 45}).text);

  for (int size = 1; size <= 5; ++size) {
    r.SetSize(size);
    PlaceLearnButton(r.p, r.ui);
    const auto& b = r.ui[kLearnButton];
    const int expected[5][4] = {{540, 358, 71, 30}, {695, 465, 70, 40}, {880, 610, 95, 60},
                                {1100, 780, 120, 75}, {1100, 840, 120, 75}};
    EXPECT_EQ(expected[size - 1][0], b.x);
    EXPECT_EQ(expected[size - 1][1], b.y);
    EXPECT_EQ(expected[size - 1][2], b.width);
    EXPECT_EQ(expected[size - 1][3], b.height);
  }
}

}  // namespace
}  // namespace kv
