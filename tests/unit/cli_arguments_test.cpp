// kv720-cli's command line: what is accepted, what each mistake says, and the help.
#include <gtest/gtest.h>

#include "cli.h"

namespace kv::cli {
namespace {

struct Mistake {
  std::vector<std::string> args;
  std::string error;  // the start of the one-line message
};

TEST(CliArguments, EveryMistakeIsOneLineThatSaysWhatIsWrong) {
  const Mistake mistakes[] = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command \"frobnicate\""},
      {{"--port", "COM1", "info", "--verbose"}, "unknown option --verbose"},
      {{"info"}, "no port given: use --port PORT"},
      {{"info", "--port"}, "option --port needs a value"},
      {{"info", "--port="}, "option --port needs a value"},
      {{"-p", "COM1", "info", "extra.bs2"}, "info takes no file"},
      {{"-p", "COM1", "save"}, "save needs one settings file (.bs2)"},
      {{"-p", "COM1", "load", "a.bs2", "b.bs2"}, "load takes only one settings file (.bs2)"},
      {{"diff", "a.bs2"}, "diff needs two settings files (A.bs2 B.bs2)"},
      {{"-p", "COM1", "record", "a.csv", "b.csv"}, "record takes only one CSV file"},
      {{"-p", "COM1", "record", "--separator", "tab"}, "--separator is ',' or ';'"},
      {{"-p", "COM1", "read", "--separator", ";"}, "option --separator is for record, not read"},
      {{"plot"}, "plot needs one or more recordings (.csv)"},
      {{"plot", "a.csv", "--align", "marker:0"}, "--align is start or marker:N"},
      {{"plot", "a.csv", "--align", "marker:x"}, "--align is start or marker:N"},
      {{"plot", "a.csv", "--align", "end"}, "--align is start or marker:N"},
      {{"-p", "COM1", "record", "-o", "a.html"}, "option --output is for plot, not record"},
      {{"diff", "a.bs2", "b.bs2", "--align", "start"}, "option --align is for plot, not diff"},
      {{"-p", "COM1", "save", "a.bs2", "--json"}, "option --json is for read, not save"},
      {{"-p", "COM1", "read", "--dry-run"}, "option --dry-run is for load, not read"},
      {{"-p", "COM1", "read", "--backups", "x"}, "option --backups is for load, not read"},
      {{"-p", "COM1", "watch", "--seconds", "3"}, "option --seconds is for record, not watch"},
      {{"-p", "COM1", "info", "--fix-latency"}, "option --fix-latency is for doctor, not info"},
      {{"-p", "COM1", "record", "r.csv", "--seconds", "0"}, "--seconds needs a positive number"},
      {{"-p", "COM1", "record", "r.csv", "--seconds", "-1"}, "--seconds needs a positive number"},
      {{"-p", "COM1", "record", "r.csv", "--seconds", "2x"}, "--seconds needs a positive number"},
      {{"-p", "COM1", "record", "r.csv", "--seconds", "nan"}, "--seconds needs a positive number"},
      {{"-p", "COM1", "record", "r.csv", "--seconds"}, "option --seconds needs a value"},
      {{"help", "frobnicate"}, "help takes one command name"},
  };
  for (const auto& m : mistakes) {
    const ParseResult r = ParseArguments(m.args);
    std::string words;
    for (const auto& a : m.args) words += a + " ";
    EXPECT_EQ(0u, r.error.rfind(m.error, 0)) << words << "-> " << r.error;
    EXPECT_EQ(std::string::npos, r.error.find('\n')) << words;
  }
}

TEST(CliArguments, OptionsStandBeforeOrAfterTheCommand) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--port", "/dev/ttyUSB0", "load", "car.bs2", "--dry-run"},
           {"load", "--dry-run", "car.bs2", "--port=/dev/ttyUSB0"},
           {"-n", "-p", "/dev/ttyUSB0", "load", "--", "car.bs2"}}) {
    const ParseResult r = ParseArguments(args);
    ASSERT_EQ("", r.error);
    EXPECT_EQ(Command::Load, r.arguments.command);
    EXPECT_EQ("/dev/ttyUSB0", r.arguments.port);
    EXPECT_TRUE(r.arguments.dryRun);
    EXPECT_EQ(std::vector<std::string>{"car.bs2"}, r.arguments.files);
  }
}

TEST(CliArguments, PortComesFromTheEnvironmentWhenNotGiven) {
  EXPECT_EQ("COM7", ParseArguments({"info"}, "COM7").arguments.port);
  EXPECT_EQ("COM3", ParseArguments({"--port", "COM3", "info"}, "COM7").arguments.port);
  // Commands that talk to no controller need no port.
  EXPECT_EQ("", ParseArguments({"diff", "a.bs2", "b.bs2"}).error);
  EXPECT_EQ("", ParseArguments({"ports"}).error);
}

TEST(CliArguments, FileNamesMayStartWithADashAfterTheDoubleDash) {
  const ParseResult r = ParseArguments({"diff", "--", "-a.bs2", "--b.bs2"});
  ASSERT_EQ("", r.error);
  EXPECT_EQ((std::vector<std::string>{"-a.bs2", "--b.bs2"}), r.arguments.files);
}

TEST(CliArguments, RecordTakesSecondsAndLoadABackupFolder) {
  const ParseResult record = ParseArguments({"-p", "X", "record", "r.csv", "--seconds=2.5"});
  ASSERT_EQ("", record.error);
  EXPECT_DOUBLE_EQ(2.5, *record.arguments.seconds);
  EXPECT_FALSE(ParseArguments({"-p", "X", "record", "r.csv"}).arguments.seconds.has_value());
  EXPECT_EQ("/tmp/b", ParseArguments({"-p", "X", "load", "a.bs2", "--backups", "/tmp/b"})
                          .arguments.backups);
  EXPECT_TRUE(ParseArguments({"doctor", "--fix-latency", "-p", "X"}).arguments.fixLatency);
  EXPECT_FALSE(ParseArguments({"-p", "X", "doctor"}).arguments.fixLatency);
}

TEST(CliArguments, RecordNamesItsOwnFileAndPlotTakesManyWithoutAPort) {
  const ParseResult record = ParseArguments({"-p", "X", "record", "--separator", ";"});
  ASSERT_EQ("", record.error);
  EXPECT_TRUE(record.arguments.files.empty());
  EXPECT_EQ(';', record.arguments.separator);
  EXPECT_EQ(',', ParseArguments({"-p", "X", "record"}).arguments.separator);
  const ParseResult plot = ParseArguments({"plot", "a.csv", "b.csv", "-o", "p.html", "--align=marker:12"});
  ASSERT_EQ("", plot.error);
  EXPECT_EQ((std::vector<std::string>{"a.csv", "b.csv"}), plot.arguments.files);
  EXPECT_EQ("p.html", plot.arguments.output);
  EXPECT_EQ(12, plot.arguments.alignMarker);
  EXPECT_EQ(0, ParseArguments({"plot", "a.csv", "--align", "start"}).arguments.alignMarker);
}

TEST(CliArguments, HelpForEverythingOrOneCommand) {
  EXPECT_EQ(Command::Help, ParseArguments({"--help"}).arguments.command);
  EXPECT_FALSE(ParseArguments({"-h"}).arguments.helpFor.has_value());
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"help", "record"}, {"record", "--help"}, {"--help", "record"}}) {
    const ParseResult r = ParseArguments(args);
    ASSERT_EQ("", r.error);
    EXPECT_EQ(Command::Help, r.arguments.command);
    EXPECT_EQ(Command::Record, r.arguments.helpFor);
  }
}

TEST(CliArguments, HelpDocumentsEveryCommandAndExitCode) {
  const std::string help = HelpText();
  for (const char* command :
       {"ports", "info", "read [--json]", "save FILE.bs2", "load FILE.bs2 [--dry-run]",
        "diff A.bs2 B.bs2", "record [FILE.csv] [--seconds N]", "plot ROAD.csv", "watch", "doctor [--fix-latency]"})
    EXPECT_NE(std::string::npos, help.find(command)) << command;
  for (const char* code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  5 ", "\n  6 ",
                           "\n  7 ", "\n  8 ", "\n  130 "})
    EXPECT_NE(std::string::npos, help.find(code)) << code;
  for (Command c : {Command::Ports, Command::Info, Command::Read, Command::Save, Command::Load,
                    Command::Diff, Command::Record, Command::Watch, Command::Doctor, Command::Plot})
    EXPECT_EQ(0u, CommandHelp(c).rfind(std::string("Usage: kv720-cli"), 0)) << CommandName(c);
}

}  // namespace
}  // namespace kv::cli
