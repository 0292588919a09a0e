// plot: recordings read back in both styles and from earlier versions, aligned, and put into a
// page; record and plot together on the made-up machine.
#include <gtest/gtest.h>

#include "cli_test_platform.h"
#include "plot.h"
#include "recording.h"
#include "temp_dir.h"

namespace kv::cli {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Column(const Recording& r, const std::string& name) {
  for (std::size_t i = 0; i < r.columns.size(); ++i)
    if (r.columns[i] == name) return r.arrays[i];
  return "(no column " + name + ")";
}

// Two rows of a car at 0.9996 V and 4000 rpm, the second with marker 1.
std::string Written(char separator) {
  MemoryImage image;
  image.blocks[1][2] = 51;
  image.blocks[1][5] = 0xA6;
  image.blocks[1][6] = 0x0E;
  const CsvStyle style = CsvStyleFor(separator);
  return RecordingHeader(style) +
         RecordingUnitsRow({{2024, 5, 1, 14, 3, 22}, "KR720SM", "3.05"}, style) +
         RecordingRow(0.05, image, {}, style) + RecordingRow(1.5, image, {1, "lean; \"rich\""}, style);
}

TEST(CliPlot, ReadsWhatRecordWritesInEitherStyle) {
  for (char separator : {',', ';'}) {
    Recording r;
    std::string error;
    ASSERT_TRUE(ReadRecording(Written(separator), r, error)) << error;
    EXPECT_EQ(2, r.rows);
    EXPECT_DOUBLE_EQ(1.5, r.duration);
    EXPECT_EQ("[0.050,1.500]", Column(r, "time_s")) << separator;
    EXPECT_EQ("[0.9996,0.9996]", Column(r, "lambda_V")) << separator;
    EXPECT_EQ("[4000,4000]", Column(r, "engine_rpm"));
    EXPECT_EQ("[null,null]", Column(r, "tps_switch"));
    EXPECT_EQ("2024-05-01 14:03:22", r.started);
    EXPECT_EQ("KR720SM", r.registration);
    EXPECT_EQ("3.05", r.controller);
    ASSERT_EQ(1u, r.markers.size());
    EXPECT_EQ(1, r.markers[0].number);
    EXPECT_EQ("1 lean; \"rich\"", r.markers[0].label);
    EXPECT_EQ("V", r.units[1]);
  }
}

TEST(CliPlot, ReadsEarlierRecordingsAndSkipsWhatIsNotARow) {
  struct Case {
    std::string text;
    long rows;
    std::string lambda, error;
  };
  const Case cases[] = {
      // The first version: a start line, no units row, the fuel's word as the marker.
      {"started,2024-05-01 14:03:22\ntime_s,lambda_V,tps_switch,marker\n0.000,0.5,ON,\n"
       "0.050,0.6,OFF,gas\n", 2, "[0.5,0.6]", ""},
      // A last row cut short by a pulled cable, CR LF line ends, a blank line.
      {"time_s,lambda_V\r\ns,V\r\n0.0,0.5\r\n\r\n0.1,0.25\r\n0.", 2, "[0.5,0.25]", ""},
      {"time_s,lambda_V\n1.0,x\n2.0,1e-3\n", 2, "[null,1e-3]", ""},
      {"", 0, "", "the file is empty"},
      {"a,b\n1,2\n", 0, "", "not a recording"},
      {"time_s,lambda_V\ns,V\n", 0, "", "the recording has no rows"},
  };
  for (const auto& c : cases) {
    Recording r;
    std::string error;
    EXPECT_EQ(c.error.empty(), ReadRecording(c.text, r, error)) << c.text;
    EXPECT_TRUE(Has(error, c.error)) << error;
    if (!c.error.empty()) continue;
    EXPECT_EQ(c.rows, r.rows) << c.text;
    EXPECT_EQ(c.lambda, Column(r, "lambda_V")) << c.text;
  }
  Recording old;
  std::string error;
  ReadRecording(cases[0].text, old, error);
  EXPECT_EQ("2024-05-01 14:03:22", old.started);
  ASSERT_EQ(1u, old.markers.size());
  EXPECT_EQ(0, old.markers[0].number);
  EXPECT_EQ("gas", old.markers[0].label);
  EXPECT_EQ("[1,0]", Column(old, "tps_switch"));
}

TEST(CliPlot, FilesAlignAtAMarkerAndThePageKeepsTheDataInsideItsScript) {
  Recording a, b;
  std::string error;
  ASSERT_TRUE(ReadRecording("time_s,marker,note\n0,,\n2.5,1,</script><b>\n4,2,\n", a, error));
  ASSERT_TRUE(ReadRecording("time_s,marker,note\n0,,\n1,1,\n", b, error));
  const std::string page = PlotPage({a, b}, 1, error);
  ASSERT_FALSE(page.empty()) << error;
  EXPECT_TRUE(Has(page, "\"shift\":1.500,")) << "b moved so that its marker 1 falls at 2.5 s";
  EXPECT_TRUE(Has(page, "\"shift\":0.000,"));
  EXPECT_TRUE(Has(page, "\"1 \\u003c/script>\\u003cb>\""));
  EXPECT_FALSE(Has(page, "</script><b>"));
  EXPECT_TRUE(Has(page, "uPlot")) << "the charting library is in the page";
  EXPECT_TRUE(Has(page, "Permission is hereby granted")) << "with its licence";
  EXPECT_TRUE(PlotPage({a, b}, 2, error).empty());
  EXPECT_EQ("has no marker 2", error.substr(error.find(' ') + 1));
}

TEST(CliPlot, RecordNamesItsFileAndTakesTypedMarkersThatPlotShows) {
  testing::TempDir root{"kv720-cli-plot"};
  testing::FakeCliPlatform m;
  m.backups = (root / "Backups").string();
  for (std::size_t i = 0; i < 4; ++i) m.controller.memory[5][13 + i] = static_cast<std::uint8_t>("KR7"[i]);
  m.typed = "lean\n";
  testing::CliRun run = testing::RunOn(m, {"-p", "COM1", "record", "--seconds", "0.3"});
  ASSERT_EQ(kExitOk, run.code) << run.err;
  const std::string name = "KR7_2024-05-01_140322.csv";
  const std::string csv = root.Read("Recordings/" + name);
  EXPECT_TRUE(Has(csv, ",1,lean\n")) << csv;
  EXPECT_TRUE(Has(run.err, "marker 1 at 0.0 s: lean")) << run.err;
  // The same second again: a new file beside the first, never over it.
  EXPECT_EQ(kExitOk, testing::RunOn(m, {"-p", "COM1", "record", "--seconds", "0.1"}).code);
  EXPECT_EQ(csv, root.Read("Recordings/" + name));
  EXPECT_FALSE(root.Read("Recordings/KR7_2024-05-01_140322_2.csv").empty());

  run = testing::RunOn(m, {"plot", (root / "Recordings" / name).string()});
  ASSERT_EQ(kExitOk, run.code) << run.err;
  const std::string page = root.Read("Recordings/KR7_2024-05-01_140322.html");
  EXPECT_TRUE(Has(page, "\"label\":\"1 lean\"")) << page.substr(0, 200);
  EXPECT_TRUE(Has(page, "\"registration\":\"KR7\""));
  EXPECT_EQ(kExitFile, testing::RunOn(m, {"plot", (root / "none.csv").string()}).code);
  EXPECT_EQ(kExitUsage, testing::RunOn(m, {"plot", (root / "Recordings" / name).string(),
                                            "--align", "marker:3"}).code);
}

}  // namespace
}  // namespace kv::cli
