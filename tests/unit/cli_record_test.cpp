// The live readings as record writes them: the CSV's lines, every column's decoding, the markers.
#include <gtest/gtest.h>

#include <map>

#include "live.h"
#include "recording.h"

namespace kv::cli {
namespace {

MemoryImage Image(std::map<std::pair<int, int>, std::uint8_t> bytes) {
  MemoryImage image;
  for (const auto& [at, value] : bytes)
    image.blocks[static_cast<std::size_t>(at.first - 1)][static_cast<std::size_t>(at.second)] = value;
  return image;
}

std::map<std::string, std::string> Columns(const MemoryImage& image) {
  std::map<std::string, std::string> out;
  const auto& names = LiveColumnNames();
  const auto values = LiveValues(image);
  EXPECT_EQ(names.size(), values.size());
  for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) out[names[i]] = values[i];
  return out;
}

TEST(CliRecord, FirstLinesAreTheColumnNamesThenTheirUnitsWithTheCar) {
  const RecordingFacts facts{{2024, 5, 1, 14, 3, 22}, "KR 720SM", "3.05"};
  EXPECT_EQ("time_s,lambda_V,tps_V,tps_switch,actuator_steps,att_init_steps,engine_rpm,"
            "temperature_C,on_gas,learning,lpg_off,cut_off,learn_finished,learn_failed,"
            "speed_reached,temperature_reached,lambda_state,tps_lamp,engine_running,marker,note\n",
            RecordingHeader(CsvStyleFor(',')));
  EXPECT_EQ("s,V,V,,steps,steps,rpm,degC,0/1,0/1,0/1,0/1,0/1,0/1,0/1,0/1,0..7,0..4,0/1,,"
            "started 2024-05-01 14:03:22; registration KR 720SM; controller 3.05\n",
            RecordingUnitsRow(facts, CsvStyleFor(',')));
  // The facts' own semicolons are quoted in a semicolon-separated file.
  const std::string units = RecordingUnitsRow(facts, CsvStyleFor(';'));
  EXPECT_EQ(";\"started 2024-05-01 14:03:22; registration KR 720SM; controller 3.05\"\n",
            units.substr(units.rfind(";;") + 1));
  EXPECT_EQ(LiveColumnNames().size(), LiveColumnUnits().size());
}

TEST(CliRecord, ARowIsTheTimeThenEveryColumnThenTheMarkerInEitherStyle) {
  // Lambda 51, TPS 100, actuator 120, base 110, period 3750 (4000 rpm), status 0x49 (lambda
  // state 1, running, lamp 3), switches 0xC1 (gas, speed and temperature reached), 100 -> 12 C.
  const MemoryImage image = Image({{{2, 1}, 100}, {{2, 2}, 51}, {{2, 3}, 120}, {{2, 4}, 110},
                                   {{2, 5}, 0xA6}, {{2, 6}, 0x0E}, {{2, 7}, 0x49},
                                   {{2, 8}, 0xC1}, {{2, 9}, 100}});
  struct Case {
    char separator;
    Marker marker;
    std::string row;
  };
  const Case cases[] = {
      {',', {}, "12.345,0.9996,1.9600,,120,110,4000,12,1,0,0,0,0,0,1,1,1,3,1,,\n"},
      {',', {2, "hesitates"}, "12.345,0.9996,1.9600,,120,110,4000,12,1,0,0,0,0,0,1,1,1,3,1,2,hesitates\n"},
      {',', {3, "lean, then \"rich\""}, "12.345,0.9996,1.9600,,120,110,4000,12,1,0,0,0,0,0,1,1,1,3,1,3,"
                                       "\"lean, then \"\"rich\"\"\"\n"},
      {';', {1, "lean, rich"}, "12,345;0,9996;1,9600;;120;110;4000;12;1;0;0;0;0;0;1;1;1;3;1;1;lean, rich\n"},
      {';', {4, "a;b"}, "12,345;0,9996;1,9600;;120;110;4000;12;1;0;0;0;0;0;1;1;1;3;1;4;\"a;b\"\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.row, RecordingRow(12.3449, image, c.marker, CsvStyleFor(c.separator))) << c.marker.note;
}

TEST(CliRecord, TypedKeysBecomeMarkerNotes) {
  struct Case {
    std::vector<std::string> feeds;  // what each poll of the keyboard brought
    std::vector<std::string> notes;
    std::string pending;
  };
  const std::string longWords(70, 'x');
  const Case cases[] = {
      {{"\n"}, {""}, ""},
      {{"hesit", "ates\n", "lean"}, {"hesitates"}, "lean"},
      {{"a\r\nb\r", "\nc\n"}, {"a", "b", "c"}, ""},               // CR LF counts once
      {{"\n\n"}, {"", ""}, ""},
      {{"gaz\bs\x7f\x7f" "as\n"}, {"gas"}, ""},                     // both Backspaces
      {{"\b\bok\x1b[A\n"}, {"ok[A"}, ""},                          // control keys ignored
      {{"zap\xc5\x82on\b\b\b\n"}, {"zap"}, ""},                   // a character at a time
      {{longWords + "\n"}, {std::string(60, 'x')}, ""},
      {{std::string(59, 'x') + "\xc5\x82\n"}, {std::string(59, 'x')}, ""},  // no half character
  };
  for (const auto& c : cases) {
    MarkerTyping typing;
    std::vector<std::string> notes;
    for (const auto& keys : c.feeds)
      for (auto& note : typing.Feed(keys)) notes.push_back(note);
    EXPECT_EQ(c.notes, notes) << c.feeds[0];
    EXPECT_EQ(c.pending, typing.Pending()) << c.feeds[0];
  }
}

TEST(CliRecord, AnUnnamedRecordingIsNamedAfterTheCarBesideTheBackups) {
  const MemoryImage car = Image({{{5, 13}, 'K'}, {{5, 14}, 'R'}, {{5, 15}, ' '}, {{5, 16}, '7'}});
  EXPECT_EQ("KR7_2024-05-01_140322.csv", RecordingName(car, {2024, 5, 1, 14, 3, 22}));
  EXPECT_EQ("no-registration_2024-12-31_235959.csv",
            RecordingName(MemoryImage{}, {2024, 12, 31, 23, 59, 59}));
  EXPECT_EQ("/home/f/.local/share/kv720/Recordings",
            RecordingFolder("/home/f/.local/share/kv720/Backups"));
  EXPECT_EQ("C:\\KV720\\Recordings", RecordingFolder("C:\\KV720\\Backups"));
  EXPECT_EQ("Recordings", RecordingFolder("Backups"));
}

struct Decoded {
  std::map<std::pair<int, int>, std::uint8_t> bytes;
  std::string column, value;
};

TEST(CliRecord, ColumnsDecodeAsTheReadingsPanelDoes) {
  const Decoded cases[] = {
      // Lambda: byte x 196 / 10000 V, read down from 5 V by the 5-0 V probes (types 3, 4).
      {{{{2, 2}, 51}}, "lambda_V", "0.9996"},
      {{{{2, 2}, 51}, {{3, 2}, 0x30}}, "lambda_V", "4.0004"},
      {{{{2, 2}, 0}, {{3, 2}, 0x40}}, "lambda_V", "5.0000"},
      {{{{2, 2}, 255}, {{3, 2}, 0x20}}, "lambda_V", "4.9980"},
      // TPS: the inverted sensor (code 1) reads down; switches (2, 3, 6, 7) have no voltage.
      {{{{2, 1}, 255}}, "tps_V", "4.9980"},
      {{{{2, 1}, 50}, {{3, 2}, 0x01}}, "tps_V", "4.0200"},
      {{{{2, 1}, 50}, {{3, 2}, 0x02}}, "tps_V", ""},
      {{{{2, 1}, 50}, {{3, 2}, 0x07}}, "tps_V", ""},
      {{{{2, 1}, 50}, {{3, 2}, 0x08}}, "tps_V", "0.9800"},
      {{{{3, 2}, 0x06}}, "tps_switch", "ON"},
      {{{{3, 2}, 0x07}, {{2, 7}, 0x10}}, "tps_switch", "OFF"},
      {{{{3, 2}, 0x03}, {{2, 7}, 0x10}}, "tps_switch", ""},
      // Speed: 15000000 div period, rounded to 50 with halves down; 0 while the high byte is 255.
      {{{{2, 5}, 0xC0}, {{2, 6}, 0x5D}}, "engine_rpm", "600"},
      {{{{2, 5}, 0x00}, {{2, 6}, 0x00}}, "engine_rpm", "0"},
      {{{{2, 5}, 0x00}, {{2, 6}, 0xFF}}, "engine_rpm", "0"},
      {{{{2, 5}, 0xDC}, {{2, 6}, 0x05}}, "engine_rpm", "10000"},
      // Temperature.
      {{{{2, 9}, 67}}, "temperature_C", "0"},
      {{{{2, 9}, 199}}, "temperature_C", "51"},
      {{{{2, 9}, 200}}, "temperature_C", "51"},
      {{{{2, 9}, 255}}, "temperature_C", "110"},
      // Exactly one of the status's high bits lights a TPS lamp.
      {{{{2, 7}, 0x10}}, "tps_lamp", "1"},
      {{{{2, 7}, 0x80}}, "tps_lamp", "4"},
      {{{{2, 7}, 0x30}}, "tps_lamp", "0"},
      {{{{2, 7}, 0x0E}}, "lambda_state", "6"},
      {{{{2, 7}, 0x08}}, "engine_running", "1"},
      // The switch bits, one column each.
      {{{{2, 8}, 0x02}}, "learning", "1"},
      {{{{2, 8}, 0x04}}, "lpg_off", "1"},
      {{{{2, 8}, 0x08}}, "cut_off", "1"},
      {{{{2, 8}, 0x10}}, "learn_finished", "1"},
      {{{{2, 8}, 0x20}}, "learn_failed", "1"},
      {{{{2, 8}, 0x40}}, "speed_reached", "1"},
      {{{{2, 8}, 0x80}}, "temperature_reached", "1"},
      {{{{2, 8}, 0x7F}}, "temperature_reached", "0"},
      {{{{2, 8}, 0xFE}}, "on_gas", "0"},
  };
  for (const auto& c : cases) {
    const auto columns = Columns(Image(c.bytes));
    ASSERT_TRUE(columns.count(c.column)) << c.column;
    EXPECT_EQ(c.value, columns.at(c.column)) << c.column << " of " << c.bytes.begin()->second;
  }
}

TEST(CliRecord, WatchLineShowsThePanelsTruncatedVoltsAndTheStates) {
  const MemoryImage image = Image({{{2, 2}, 51}, {{2, 1}, 100}, {{2, 8}, 0x0D}, {{2, 7}, 0x08},
                                   {{2, 9}, 100}, {{2, 6}, 0xFF}});
  const std::string line = WatchLine(image);
  EXPECT_NE(std::string::npos, line.find("LPG ")) << line;
  EXPECT_NE(std::string::npos, line.find("lambda 0.99 V")) << line;
  EXPECT_NE(std::string::npos, line.find("TPS 1.96 V")) << line;
  EXPECT_NE(std::string::npos, line.find("    0 rpm")) << line;
  EXPECT_NE(std::string::npos, line.find(" 12 °C")) << line;
  EXPECT_NE(std::string::npos, line.find("LPG OFF | CUT-OFF")) << line;
  EXPECT_EQ(std::string::npos, line.find("not running")) << line;
  EXPECT_NE(std::string::npos, WatchLine(MemoryImage{}).find("PETROL")) << line;
}

}  // namespace
}  // namespace kv::cli
