// kv720-cli's commands on a made-up machine: what they print, what they send, how they exit.
#include <gtest/gtest.h>

#include "cli_test_platform.h"
#include "kv720_version.h"

namespace kv::testing {
namespace {

using cli::PortTrouble;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliCommands, InfoShowsTheIdentificationVersionAndServiceRecord) {
  FakeCliPlatform m;
  m.controller.Set(Param::LpgHoursLo, 0xD2);
  m.controller.Set(Param::LpgHoursHi, 0x04);
  m.controller.Set(Param::LpgMinutes, 25);
  m.controller.Set(Param::InstallDateLo, 0x4E);
  m.controller.Set(Param::InstallDateHi, 0x85);
  const char* plate = "KR720SM";
  for (std::size_t i = 0; i < 7; ++i)
    m.controller.Set(RegistrationParam(i), static_cast<std::uint8_t>(plate[i]));
  const CliRun run = RunOn(m, {"--port", "COM7", "info"});
  ASSERT_EQ(cli::kExitOk, run.code) << run.err;
  EXPECT_EQ("open dev:COM7", m.port.calls.front());
  EXPECT_TRUE(Has(run.out, "65 01 45 AB")) << run.out;
  EXPECT_TRUE(Has(run.out, "3.05\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "KR720SM\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "1234h25'\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "2005-11-15\n")) << run.out;
  // Only reads went out: the identification and Block 5.
  std::vector<std::string> frames;
  for (const auto& f : m.port.written) frames.push_back(FakePort::Hex(f));
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 05 05 6F"}), frames);
}

// The build's version, whatever else stands beside the option, and nothing sent anywhere.
TEST(CliCommands, VersionPrintsTheBuildsVersion) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--version"}, {"--port", "COM7", "info", "--version"}}) {
    FakeCliPlatform m;
    const CliRun run = RunOn(m, args);
    EXPECT_EQ(cli::kExitOk, run.code);
    EXPECT_EQ(std::string("kv720-cli ") + KV720_VERSION + "\n", run.out);
    EXPECT_TRUE(m.port.calls.empty());
  }
  // MAJOR.MINOR.PATCH, then git's word on a build that is not a release.
  const std::string version = KV720_VERSION;
  const std::string numbers = std::to_string(KV720_VERSION_MAJOR) + "." +
                              std::to_string(KV720_VERSION_MINOR) + "." +
                              std::to_string(KV720_VERSION_PATCH);
  EXPECT_EQ(numbers, version.substr(0, version.find('+')));
}

struct Outcome {
  const char* what;
  void (*set)(FakeCliPlatform&);
  std::vector<std::string> args;
  int code;
  std::string err;  // part of the one-line error
};

TEST(CliCommands, ExitCodesSayWhatWentWrong) {
  const Outcome outcomes[] = {
      {"usage", [](FakeCliPlatform&) {}, {"info"}, cli::kExitUsage, "no port given"},
      {"missing port",
       [](FakeCliPlatform& m) { m.problem = {PortTrouble::Missing, "COM9 does not exist"}; },
       {"-p", "COM9", "read"}, cli::kExitPort, "COM9 does not exist"},
      {"busy port",
       [](FakeCliPlatform& m) { m.problem = {PortTrouble::Busy, "COM1 is in use"}; },
       {"-p", "COM1", "watch"}, cli::kExitPort, "COM1 is in use"},
      {"silent controller", [](FakeCliPlatform& m) { m.controller.answers = false; },
       {"-p", "COM1", "info"}, cli::kExitNoAnswer, "does not answer on COM1"},
      {"other version", [](FakeCliPlatform& m) { m.controller.identity = 0x25; },
       {"-p", "COM1", "read"}, cli::kExitVersion, "is version 2.05"},
      {"Block 5 unread", [](FakeCliPlatform& m) { m.controller.silentBlocks = {5}; },
       {"-p", "COM1", "info"}, cli::kExitNoAnswer, "Block 5"},
      {"Block 3 unread", [](FakeCliPlatform& m) { m.controller.silentBlocks = {3}; },
       {"-p", "COM1", "read"}, cli::kExitNoAnswer, "Block 3"},
      {"Block 4 unread before recording", [](FakeCliPlatform& m) { m.controller.silentBlocks = {4}; },
       {"-p", "COM1", "record", "never.csv"}, cli::kExitNoAnswer, "Block 4"},
      {"Ctrl+C", [](FakeCliPlatform& m) { m.interrupted = true; }, {"-p", "COM1", "info"},
       cli::kExitInterrupted, ""},
  };
  for (const auto& o : outcomes) {
    FakeCliPlatform m;
    o.set(m);
    const CliRun run = RunOn(m, o.args);
    EXPECT_EQ(o.code, run.code) << o.what << ": " << run.err;
    EXPECT_TRUE(Has(run.err, o.err)) << o.what << ": " << run.err;
    if (o.code != cli::kExitOk && o.code != cli::kExitInterrupted) {
      EXPECT_EQ(0u, run.err.rfind("kv720-cli: ", 0)) << o.what;
    }
    EXPECT_TRUE(m.Writes().empty()) << o.what;
  }
}

// watch polls on the 1 ms clock and gives it back when Ctrl+C ends it; info never asks for it.
TEST(CliCommands, WatchHoldsTheFineClockOnlyWhileItPolls) {
  struct CtrlCAfterThreeTicks {
    FakeCliPlatform* m;
    int ticks = 0;
    bool fineMeanwhile = true;
    static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
      auto& s = *static_cast<CtrlCAfterThreeTicks*>(self);
      if (frame[1] == 2 && frame[2] == 2 && ++s.ticks >= 2) {  // the first is Connect's
        s.fineMeanwhile = s.fineMeanwhile && s.m->fineClock;
        s.m->interrupted = s.ticks == 4;
      }
      return ScriptedController::Respond(frame, &s.m->controller);
    }
  };
  FakeCliPlatform m;
  CtrlCAfterThreeTicks stopper{&m};
  m.port.responder = &CtrlCAfterThreeTicks::Respond;
  m.port.responderContext = &stopper;
  EXPECT_EQ(cli::kExitOk, RunOn(m, {"-p", "COM1", "watch"}).code);
  EXPECT_TRUE(stopper.fineMeanwhile);
  EXPECT_EQ(1, m.fineClocks);
  EXPECT_FALSE(m.fineClock);
  FakeCliPlatform other;
  EXPECT_EQ(cli::kExitOk, RunOn(other, {"-p", "COM1", "info"}).code);
  EXPECT_EQ(0, other.fineClocks);
}

TEST(CliCommands, OtherVersionStillShowsWhatItIs) {
  FakeCliPlatform m;
  m.controller.identity = 0x3F;  // version 2, revision 31
  const CliRun run = RunOn(m, {"-p", "COM1", "info"});
  EXPECT_EQ(cli::kExitVersion, run.code);
  EXPECT_TRUE(Has(run.out, "2.31")) << run.out;
  for (const auto& f : m.port.written) EXPECT_EQ("65 01 01 67", FakePort::Hex(f));
}

TEST(CliCommands, AMissedReplyIsTriedAgain) {
  FakeCliPlatform m;
  m.port.responder = nullptr;  // scripted: the first identification gets nothing
  m.port.replies = {{}, Frame({0x01, 0x45}), {}, Frame(std::vector<std::uint8_t>(19, 7))};
  const CliRun run = RunOn(m, {"-p", "COM1", "info"});
  EXPECT_EQ(cli::kExitOk, run.code) << run.err;
}

struct DoctorCase {
  const char* what;
  void (*set)(FakeCliPlatform&);
  int code;
  std::string failing;  // the stage named on standard error, empty when all pass
  std::string detail;   // part of the explanation on standard output
};

TEST(CliCommands, DoctorNamesTheFailingStage) {
  const DoctorCase cases[] = {
      {"all well", [](FakeCliPlatform&) {}, cli::kExitOk, "", "Every stage passed"},
      {"no device",
       [](FakeCliPlatform& m) {
         m.problem = {PortTrouble::Permission, "no permission to open X: join the group"};
       },
       cli::kExitPort, "stage 1: the port opens", "join the group"},
      {"silence", [](FakeCliPlatform& m) { m.controller.answers = false; }, cli::kExitNoAnswer,
       "stage 2: bytes come back", "nothing came back"},
      {"echoing adapter", [](FakeCliPlatform& m) { m.controller.adapterEcho = true; },
       cli::kExitNoAnswer, "stage 3: no echo of our request", "echoes what we send, then"},
      {"echo, nothing else",
       [](FakeCliPlatform& m) {
         m.controller.adapterEcho = true;
         m.controller.answers = false;
       },
       cli::kExitNoAnswer, "stage 3", "nothing answers after it"},
      {"other version", [](FakeCliPlatform& m) { m.controller.identity = 0x25; },
       cli::kExitVersion, "stage 5: the controller is version 3", "version 2.05"},
      {"block missing", [](FakeCliPlatform& m) { m.controller.silentBlocks = {4}; },
       cli::kExitNoAnswer, "stage 6", "Block 4 was not read"},
  };
  for (const auto& d : cases) {
    FakeCliPlatform m;
    d.set(m);
    const CliRun run = RunOn(m, {"-p", "COM1", "doctor"});
    EXPECT_EQ(d.code, run.code) << d.what << ": " << run.out << run.err;
    EXPECT_TRUE(Has(run.err, d.failing)) << d.what << ": " << run.err;
    EXPECT_TRUE(Has(run.out, d.detail)) << d.what << ": " << run.out;
    EXPECT_TRUE(m.Writes().empty()) << d.what;
  }
}

TEST(CliCommands, DoctorTellsGarbledRepliesApart) {
  const std::pair<std::vector<std::uint8_t>, std::string> replies[] = {
      {{0x65, 0x01}, "only 2 of the 4 bytes"},
      {{0xE5, 0x01, 0x45, 0x2B}, "does not start with 65"},
      {{0x65, 0x01, 0x45, 0xAC}, "checksum of 65 01 45 AC is wrong"},
  };
  for (const auto& [reply, detail] : replies) {
    FakeCliPlatform m;
    m.port.responder = nullptr;
    m.port.replies = {reply};
    const CliRun run = RunOn(m, {"-p", "COM1", "doctor"});
    EXPECT_EQ(cli::kExitNoAnswer, run.code);
    EXPECT_TRUE(Has(run.err, "stage 4: the reply is a valid frame")) << run.err;
    EXPECT_TRUE(Has(run.out, detail)) << run.out;
  }
}

TEST(CliCommands, ReadShowsEverySettingAndJsonCarriesRawAndValue) {
  FakeCliPlatform m;
  m.controller.Set(Param::LambdaPoint, 22);
  const CliRun text = RunOn(m, {"-p", "COM1", "read"});
  ASSERT_EQ(cli::kExitOk, text.code) << text.err;
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    EXPECT_TRUE(Has(text.out, "\n" + std::string(kParameters[k].name) + " ")) << kParameters[k].name;
  EXPECT_TRUE(Has(text.out, "LambdaPoint     22  0.44 V\n")) << text.out;

  const CliRun json = RunOn(m, {"-p", "COM1", "read", "--json"});
  ASSERT_EQ(cli::kExitOk, json.code) << json.err;
  EXPECT_TRUE(Has(json.out, "\"LambdaPoint\": {\"raw\": 22, \"value\": 0.44, \"unit\": \"V\"}"))
      << json.out;
  EXPECT_TRUE(Has(json.out, "\"IgnitionType\": {\"raw\": 33, \"value\": \"(not in the list: 32)\"}"))
      << json.out;
  EXPECT_TRUE(Has(json.out, "\"Options\": {\"raw\": 15, \"fields\": {")) << json.out;
  EXPECT_TRUE(Has(json.out, "\"tps_switch\": null")) << json.out;
  EXPECT_TRUE(Has(json.out, "\"AttMax\": {\"raw\": 26, \"value\": 26, \"unit\": \"steps\"}"))
      << json.out;
  EXPECT_TRUE(Has(json.out, "\"AttMin\": {\"raw\": 27, \"value\": -27, \"unit\": \"steps\"}"))
      << json.out;
  EXPECT_EQ('{', json.out.front());
  EXPECT_EQ("}\n", json.out.substr(json.out.size() - 2));
}

TEST(CliCommands, PortsListsWhatThePlatformFound) {
  FakeCliPlatform m;
  EXPECT_EQ("No serial ports found.\n", RunOn(m, {"ports"}).out);
  m.ports = {{"/dev/ttyS0", "built-in serial port"}, {"/dev/ttyUSB0", "FTDI FT232R USB UART"}};
  EXPECT_EQ("/dev/ttyS0    built-in serial port\n/dev/ttyUSB0  FTDI FT232R USB UART\n",
            RunOn(m, {"ports"}).out);
}

}  // namespace
}  // namespace kv::testing
