// The settings and the service record as kv720-cli shows them.
#include <gtest/gtest.h>

#include "decode.h"
#include "english_texts.h"

namespace kv::cli {
namespace {

struct Setting {
  std::vector<std::pair<Param, std::uint8_t>> bytes;  // the first is the one decoded
  std::string shown;
};

MemoryImage ImageWith(const std::vector<std::pair<Param, std::uint8_t>>& bytes) {
  std::uint8_t values[kSettingsCount] = {};
  for (const auto& [p, v] : bytes) values[static_cast<std::size_t>(p)] = v;
  return ImageOfSettings(values);
}

TEST(CliDecode, SettingsShowThePanelsValuesWithUnits) {
  const LanguageTexts& t = EnglishTexts();
  const Setting settings[] = {
      {{{Param::LambdaPoint, 22}}, "0.44 V"},
      {{{Param::LambdaDelay, 12}}, "60 s"},
      {{{Param::EmulBJ_TimeHi, 40}}, "1.000 s"},
      {{{Param::EmulBJ_TimeLo, 255}}, "6.375 s"},
      {{{Param::InjectDelay, 5}}, "0.5 s"},
      {{{Param::WOZG, 50}}, "5.0 s"},
      {{{Param::LPGOnTemp, 145}}, "30 °C"},
      {{{Param::LPGOnTemp, 60}}, "0 °C"},
      {{{Param::LPGOnTemp, 255}}, "110 °C"},
      {{{Param::AttMax, 40}}, "+40 steps"},
      {{{Param::AttMin, 40}}, "-40 steps"},
      {{{Param::AttMin_BJ, 0}}, "0 steps"},
      {{{Param::AttInit, 110}}, "110 steps"},
      {{{Param::AttJump, 20}}, "20 %"},
      {{{Param::CutOffSteps, 101}}, "101 %"},
      {{{Param::TPSInert, 5}}, "0.12 V"},
      {{{Param::TPSJump, 25}}, "0.50 V"},
      // An inverted TPS (code 1) counts the jump down from 5 V.
      {{{Param::TPSJump, 250}, {Param::LambdaType, 0x01}}, "0.00 V"},
      {{{Param::TPSJump, 255}, {Param::LambdaType, 0x01}}, "-0.10 V"},
      // Both bytes of a period show the speed; period 6250 is 2400 rpm, 0 is 0.
      {{{Param::LPGOnRPMLo, 0x6A}, {Param::LPGOnRPMHi, 0x18}}, "2400 rpm"},
      {{{Param::LPGOnRPMHi, 0x18}, {Param::LPGOnRPMLo, 0x6A}}, "2400 rpm"},
      {{{Param::CutOffRPMLo, 0}}, "0 rpm"},
      {{{Param::LPGOffRPMLo, 0xB8}, {Param::LPGOffRPMHi, 0x0B}}, "5000 rpm"},
      {{{Param::Prog3, 140}}, "140"},
      // Lists: byte 0 shows the first item, a byte past the list no item.
      {{{Param::IgnitionType, 0}}, t[64]},
      {{{Param::IgnitionType, 18}}, t[81]},
      {{{Param::IgnitionType, 19}}, "(not in the list: 18)"},
      {{{Param::LambdaType, 0x51}}, t[40] + ": 0,8-1,6 V; " + t[49] + ": " + t[85]},
      {{{Param::LambdaType, 0x63}}, t[40] + ": (not in the list: 6); " + t[49] + ": " + t[86]},
      {{{Param::LambdaType, 0x0F}}, t[40] + ": 0-1 V; " + t[49] + ": " + t[89]},
      // Corrections: the nibble n of each half shows 2 x (16 - n) - d.
      {{{Param::ZAM_OTW_BJ, 0x7C}}, t[99] + ": -6; " + t[100] + ": +6"},
      {{{Param::ZAM_OTW_BJ, 0x00}}, t[99] + ": +18; " + t[100] + ": +20"},
      {{{Param::ZAM_OTW_BJ, 0xFF}}, t[99] + ": -12; " + t[100] + ": -10"},
      {{{Param::ZAM_OTW_DO, 0x95}}, t[101] + ": 0; " + t[102] + ": -4"},
      {{{Param::EmulType, 0x83}},
       t[43] + ": (not in the list: 3); " + t[185] + ": off; " + t[187] + ": off; " + t[117] +
           ": " + t[129] + "; Full status messages: on"},
      {{{Param::EmulType, 0x2C}},
       t[43] + ": " + t[61] + "; " + t[185] + ": on; " + t[187] + ": on; " + t[117] + ": " +
           t[131] + "; Full status messages: off"},
      // Bit 2 reads inverted (the box is checked while it is clear); bits 0 and 7 name the
      // gas level sensor, bit 0 first.
      {{{Param::Options, 0x81}},
       t[116] + ": off; " + t[104] + ": on; " + t[109] + ": off; " + t[48] + ": " + t[82] +
           "; " + t[112] + ": off; " + t[115] + ": off; " + t[39] + ": " + t[181]},
      {{{Param::Options, 0xFE}},
       t[116] + ": on; " + t[104] + ": off; " + t[109] + ": on; " + t[48] + ": " + t[83] + "; " +
           t[112] + ": on; " + t[115] + ": on; " + t[39] + ": " + t[182]},
  };
  for (const auto& s : settings) {
    const Param p = s.bytes[0].first;
    EXPECT_EQ(s.shown, ShownDecoding(DecodeSetting(p, ImageWith(s.bytes), t)))
        << Row(p).name << " = " << int{s.bytes[0].second};
  }
}

TEST(CliDecode, ListTextsAreTheEnglishOnes) {
  const LanguageTexts& t = EnglishTexts();
  EXPECT_EQ("4 cyl. - 1 coil", t[64]);
  EXPECT_EQ("Registration number:", t[191]);
}

TEST(CliDecode, RegistrationAndVersionForATerminal) {
  MemoryImage image;
  EXPECT_EQ("", Registration(image));
  EXPECT_EQ("1.00", ControllerVersion(image));
  image.blocks[0][2] = 0x4A;
  EXPECT_EQ("3.10", ControllerVersion(image));
  auto& b5 = image.blocks[4];
  const char plate[] = "KR\x01" "7\0X";
  for (int i = 0; i < 6; ++i) b5[13 + i] = static_cast<std::uint8_t>(plate[i]);
  EXPECT_EQ("KR?7", Registration(image));  // ends at the zero; a control code never shows
  for (int i = 0; i < 7; ++i) b5[13 + i] = static_cast<std::uint8_t>("W\xA3\xD3" "DZ12"[i]);
  EXPECT_EQ("WŁÓDZ12", Registration(image));  // the window's code page, as UTF-8
}

TEST(CliDecode, ImageOfSettingsPutsEachValueAtItsPlace) {
  std::uint8_t values[kSettingsCount];
  for (std::size_t k = 0; k < kSettingsCount; ++k) values[k] = static_cast<std::uint8_t>(3 * k + 1);
  const MemoryImage image = ImageOfSettings(values);
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    EXPECT_EQ(values[k], Get(image, kParameters[k].param)) << kParameters[k].name;
}

}  // namespace
}  // namespace kv::cli
