// The information dialog's logic against a scripted controller: what the record shows, what the
// two editors and the clear button write, the date lists, and the offline and other-version
// views.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "information/information.h"
#include "information_ids.h"
#include "scripted_controller.h"

namespace kv {
namespace {

using testing::PanelRig;
using Writes = std::vector<std::pair<int, int>>;

constexpr int kRecordControls[] = {1194, 1164, 1179, 1195, 1171, 1182, 1196, 1172, 1180};
constexpr int kDateEditor[] = {1188, 1003, 1004, 1013, 1189, 1190, 1191};

struct InformationDialog : ::testing::Test {
  PanelRig rig;
  Program& program = rig.program;
  testing::FakeControls& c = rig.controls;
  InformationState state;

  void SetUp() override { Open({2005, 11, 15}); }
  void Open(Date today) {
    c = {};
    StartInformation(program, state, c, today);
  }
  void Set(ByteRef ref, std::uint8_t value) { rig.controller.Set(ref, value); }
  void SetRegistration(const std::string& bytes) {
    for (std::size_t k = 0; k < 7; ++k)
      Set({5, 13 + k}, k < bytes.size() ? static_cast<std::uint8_t>(bytes[k]) : 0);
  }
  void Tick() {
    InformationTick(program, state, c);
    rig.port.ClearLog();
  }
  void Press(int id) { InformationCommand(program, state, c, id, kButtonClicked); }
  void Pick(int id, int index) {
    c.SelectListItem(id, index);
    InformationCommand(program, state, c, id, kListSelectionChange);
  }
  // The registration field as the user leaves it before the second press.
  void Type(const std::string& text) { c[IDC_INFO_REGISTRATION].text = text; }
};

TEST_F(InformationDialog, CreationFillsTheListsAndTexts) {
  EXPECT_EQ(63u, c[1003].items.size());
  EXPECT_EQ("2000", c[1003].items.front());
  EXPECT_EQ("2062", c[1003].items.back());
  EXPECT_EQ("01", c[1004].items.front());
  EXPECT_EQ("12", c[1004].items.back());
  EXPECT_EQ(31u, c[1013].items.size());
  EXPECT_EQ("31", c[1013].items.back());
  for (int id : {1003, 1004, 1013}) EXPECT_EQ(0, c[id].selection) << id;
  EXPECT_EQ(7, c[1164].textLimit);
  EXPECT_FALSE(state.registrationEditing || state.dateEditing);
  const std::pair<int, int> captions[] = {{1079, 158}, {1199, 159}, {1194, 191}, {1195, 192},
                                          {1196, 193}, {1189, 194}, {1190, 195}, {1191, 196},
                                          {1179, 197}, {1182, 199}, {1180, 197}, {1075, 154},
                                          {1076, 155}, {1077, 156}, {1078, 157}};
  for (const auto& [id, text] : captions) EXPECT_EQ("text " + std::to_string(text), c[id].text) << id;
}

TEST_F(InformationDialog, TodaysYearIsTakenWithin2000To2100) {
  for (const auto& [given, kept] : {std::pair{1999, 2000}, {2100, 2100}, {2101, 2100}}) {
    Open({given, 6, 1});
    EXPECT_EQ(kept, state.today.year) << given;
  }
}

TEST_F(InformationDialog, RecordIsShownAsTheControllerKeepsIt) {
  const struct {
    std::uint8_t identity, minutes, hoursLo, hoursHi, dateLo, dateHi;
    std::string registration;
    const char *version, *runningTime, *date, *shown;
  } cases[] = {
      {0x45, 5, 0xD2, 0x04, 0x4E, 0x85, "KR720SM", "3.05", "1234h5'", "2005-11-15", "KR720SM"},
      {0x40, 0, 0, 0, 0, 0, "", "3.00", "0h0'", "2000-01-01", ""},
      {0x4A, 59, 0xFF, 0xFF, 0xFF, 0xFF, "AB1", "3.10", "65535h59'", "2063-16-32", "AB1"},
      // The name ends at the first zero byte; bit 6 of the high date byte is not the year's.
      {0x5F, 1, 1, 0, 0x1F, 0x7E, std::string("WE\0ZZ", 5), "3.31", "1h1'", "2062-01-32", "WE"},
  };
  for (const auto& k : cases) {
    rig.controller.identity = k.identity;
    Set(bytes::LpgMinutes, k.minutes);
    Set(bytes::LpgHoursLo, k.hoursLo);
    Set(bytes::LpgHoursHi, k.hoursHi);
    Set(bytes::InstallDateLo, k.dateLo);
    Set(bytes::InstallDateHi, k.dateHi);
    SetRegistration(k.registration);
    Tick();
    EXPECT_EQ(k.version, c[1170].text);
    EXPECT_EQ(k.runningTime, c[1171].text);
    EXPECT_EQ(k.date, c[1172].text);
    EXPECT_EQ(k.shown, c[1164].text);
    for (int id : kRecordControls) EXPECT_TRUE(c[id].enabled) << id;
    for (int id : kDateEditor) EXPECT_FALSE(c[id].visible) << id;
    EXPECT_TRUE(c[1164].readOnly);
    EXPECT_EQ("text 197", c[1179].text);
    EXPECT_EQ("text 197", c[1180].text);
  }
}

TEST_F(InformationDialog, VersionIsFormattedInSinglePrecision) {
  for (const auto& [version, revision, shown] :
       {std::tuple{3, 5, "3.05"}, {3, 10, "3.10"}, {1, 0, "1.00"}, {8, 31, "8.31"}, {3, 29, "3.29"}})
    EXPECT_EQ(shown, ControllerVersionText(version, revision));
}

TEST_F(InformationDialog, RegistrationIsWrittenAsSevenBytesEndedByZeros) {
  SetRegistration("KR720SM");
  Tick();
  Press(1179);
  EXPECT_TRUE(rig.Writes().empty());  // the first press only starts editing
  Tick();
  EXPECT_FALSE(c[1164].readOnly);
  EXPECT_EQ("text 198", c[1179].text);
  EXPECT_EQ("KR720SM", c[1164].text);
  Type("AB1");
  Tick();
  EXPECT_EQ("AB1", c[1164].text);  // not refreshed while editing
  Press(1179);
  EXPECT_EQ((Writes{{42, 'A'}, {43, 'B'}, {44, '1'}, {45, 0}, {46, 0}, {47, 0}, {48, 0}}),
            rig.Writes());
  rig.port.ClearLog();
  Tick();
  EXPECT_EQ("AB1", c[1164].text);  // read back
  EXPECT_TRUE(c[1164].readOnly);
  EXPECT_EQ("text 197", c[1179].text);
}

TEST_F(InformationDialog, RegistrationCharactersUseTheLanguagesCodePage) {
  const struct {
    const char* language;
    std::string typed;
    Writes sent;  // the first three bytes; empty: nothing is written
  } cases[] = {
      {"pol", "ŁÓDŹ", {{42, 0xA3}, {43, 0xD3}, {44, 'D'}}},
      {"rus", "АВС", {{42, 0xC0}, {43, 0xC2}, {44, 0xD1}}},
      {"ang", "Ż1", {{42, 0xAF}, {43, '1'}, {44, 0}}},
      {"pol", "ЖK1", {}},  // a Cyrillic letter has no byte in 1250
      {"rus", "ŁK1", {}},
      {"pol", "ABCDEFGHI", {{42, 'A'}, {43, 'B'}, {44, 'C'}}},  // the first 7 characters
  };
  Tick();
  for (const auto& k : cases) {
    program.settings.languageCode = k.language;
    Press(1179);
    Type(k.typed);
    Press(1179);
    const Writes all = rig.Writes();
    rig.port.ClearLog();
    EXPECT_FALSE(state.registrationEditing);
    if (k.sent.empty()) {
      EXPECT_TRUE(all.empty()) << k.typed;
      continue;
    }
    ASSERT_EQ(7u, all.size()) << k.typed;
    EXPECT_EQ(k.sent, Writes(all.begin(), all.begin() + 3)) << k.typed;
  }
}

TEST_F(InformationDialog, RegistrationIsShownInTheLanguagesCodePage) {
  SetRegistration("\xC0\xA3Z");
  program.settings.languageCode = "rus";
  Tick();
  EXPECT_EQ("АЈZ", c[1164].text);
  program.settings.languageCode = "pol";
  Tick();
  EXPECT_EQ("ŔŁZ", c[1164].text);
}

TEST_F(InformationDialog, DateEditorOpensOnTodayAndWritesTheChosenDate) {
  Tick();
  Press(1180);
  EXPECT_EQ(30u, c[1013].items.size());  // November
  EXPECT_EQ(5, c[1003].selection);
  EXPECT_EQ(10, c[1004].selection);
  EXPECT_EQ(14, c[1013].selection);
  Set(bytes::InstallDateLo, 0x21);
  Set(bytes::InstallDateHi, 0x03);
  Tick();
  for (int id : kDateEditor) EXPECT_TRUE(c[id].visible) << id;
  EXPECT_EQ("text 198", c[1180].text);
  EXPECT_EQ("2000-01-01", c[1172].text);  // not refreshed while editing
  Press(1180);
  EXPECT_EQ((Writes{{40, 0x4E}, {41, 0x85}}), rig.Writes());
  rig.port.ClearLog();
  Tick();
  EXPECT_EQ("2005-11-15", c[1172].text);
  for (int id : kDateEditor) EXPECT_FALSE(c[id].visible) << id;
  EXPECT_EQ("text 197", c[1180].text);
}

TEST_F(InformationDialog, DateBytesOfTheListIndexes) {
  for (const auto& [y, m, d, low, high] :
       {std::tuple{5, 10, 14, 0x4E, 0x85}, {0, 0, 0, 0x00, 0x00}, {62, 11, 30, 0x7E, 0xBE},
        {19, 7, 0, 0xE0, 0x13}, {19, 8, 0, 0x00, 0x93}}) {
    const DateBytes date = EncodeDate(y, m, d);
    EXPECT_EQ(low, date.low);
    EXPECT_EQ(high, date.high);
  }
}

TEST_F(InformationDialog, DayListFollowsMonthAndYear) {
  Press(1180);
  Pick(1003, 4);  // 2004, month still November
  EXPECT_EQ(30u, c[1013].items.size());
  Pick(1004, 1);  // February 2004
  EXPECT_EQ(29u, c[1013].items.size());
  EXPECT_EQ("29", c[1013].items.back());
  EXPECT_EQ(0, c[1013].selection);
  c.SelectListItem(1013, 20);
  Pick(1003, 5);  // 2005 while February shows
  EXPECT_EQ(28u, c[1013].items.size());
  EXPECT_EQ(0, c[1013].selection);
  Pick(1004, 0);
  EXPECT_EQ(31u, c[1013].items.size());
  c.SelectListItem(1013, 30);
  Pick(1003, 8);  // another year outside February leaves the days alone
  EXPECT_EQ(30, c[1013].selection);
  const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 0; m < 12; ++m) EXPECT_EQ(lengths[m] + (m == 1), DaysInMonth(m, 2000)) << m;
  EXPECT_EQ(29, DaysInMonth(1, 2100));  // divisible by 4 is the whole rule
}

TEST_F(InformationDialog, YearAfter2062SendsNoDate) {
  Open({2070, 2, 10});
  Tick();
  Press(1180);
  EXPECT_EQ(-1, c[1003].selection);
  EXPECT_EQ(1, c[1004].selection);
  EXPECT_EQ(28u, c[1013].items.size());  // February of 2070
  Press(1180);
  EXPECT_TRUE(rig.Writes().empty());
  EXPECT_FALSE(state.dateEditing);
  // Once a year is picked the date goes out.
  Press(1180);
  Pick(1003, 62);
  Press(1180);
  EXPECT_EQ((Writes{{40, 0x20}, {41, 0x3E}}), rig.Writes());  // 2062-02-01
}

TEST_F(InformationDialog, ClearWritesHoursThenMinutes) {
  Tick();
  Press(1182);
  EXPECT_EQ((Writes{{38, 0}, {39, 0}, {49, 0}}), rig.Writes());
}

TEST_F(InformationDialog, OfflineEmptiesAndDisablesButKeepsTheEditors) {
  Tick();
  Press(1179);
  Press(1180);
  Tick();
  rig.controller.answers = false;
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_TRUE(program.link.offline);
  EXPECT_EQ("text 161", c[1170].text);
  for (int id : kRecordControls) EXPECT_FALSE(c[id].enabled) << id;
  for (int id : kDateEditor) EXPECT_FALSE(c[id].visible) << id;
  for (int id : {1164, 1171, 1172}) EXPECT_EQ("", c[id].text) << id;
  EXPECT_TRUE(state.registrationEditing && state.dateEditing);
  rig.controller.answers = true;
  Tick();
  EXPECT_EQ("text 198", c[1179].text);
  EXPECT_EQ("text 198", c[1180].text);
  for (int id : kDateEditor) EXPECT_TRUE(c[id].visible) << id;
}

TEST_F(InformationDialog, AnotherVersionShowsItsTextWithoutReadingTheRecord) {
  Tick();
  const std::string date = c[1172].text;
  rig.controller.identity = 0x65;  // version 4
  InformationTick(program, state, c);
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67"}), rig.Frames());
  EXPECT_EQ("text 162", c[1170].text);
  for (int id : kRecordControls) EXPECT_FALSE(c[id].enabled) << id;
  EXPECT_EQ(date, c[1172].text);  // nothing else changes
  Press(1182);
  EXPECT_TRUE(rig.Writes().empty());
}

TEST(InformationLayout, ScaledAndFixedValues) {
  const auto places = InformationLayout(1.28, 1.32);
  ASSERT_EQ(25u, places.size());
  auto find = [&](const std::vector<ControlPlace>& all, int id) {
    return *std::find_if(all.begin(), all.end(), [&](const ControlPlace& p) { return p.control == id; });
  };
  const struct {
    int id, x, y, width, height;
  } expected[] = {
      {1208, 51, 26, 358, 244},  // 40 x 1.28 = 51.2, 185 x 1.32 = 244.2
      {1079, 460, 191, 200, 25}, // fixed size in pixels
      {1209, 460, 165, 384, 1},
      {1013, 652, 580, 70, 20},
      {1188, 25, 481, 832, 184},
  };
  for (const auto& e : expected) {
    const ControlPlace p = find(places, e.id);
    EXPECT_EQ(e.x, p.x) << e.id;
    EXPECT_EQ(e.y, p.y) << e.id;
    EXPECT_EQ(e.width, p.width) << e.id;
    EXPECT_EQ(e.height, p.height) << e.id;
  }
  EXPECT_EQ(184, find(InformationLayout(0.8, 0.77), 1199).y);
}

}  // namespace
}  // namespace kv
