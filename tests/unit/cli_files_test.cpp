// save, load and diff on the made-up machine, with real files in a temporary folder.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "cli_test_platform.h"
#include "files/settings_file.h"
#include "temp_dir.h"

namespace kv::testing {
namespace {

namespace fs = std::filesystem;

class CliFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    m_.backups = Path("backups");
  }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }
  std::string Read(const std::string& name) {
    std::string text;
    m_.files.Read(Path(name), 1 << 20, text);
    return text;
  }
  void Write(const std::string& name, const std::string& text) { m_.files.Replace(Path(name), text); }
  // A settings file of the controller's current memory, each value moved by `delta`.
  std::string FileOfController(int delta = 0) {
    Bs2Values values{};
    for (std::size_t k = 0; k < kSettingsCount; ++k)
      values[k] = static_cast<std::uint8_t>(m_.controller.Get(static_cast<Param>(k)) + delta);
    return Bs2Text(values);
  }
  std::size_t RestorePoints() const {
    std::error_code e;
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_.backups, e)) ++n;
    return n;
  }

  testing::TempDir root_{"kv720-cli-files"};
  FakeCliPlatform m_;
};

TEST_F(CliFiles, SaveWritesTheSaveAsTextOfTheController) {
  const CliRun run = RunOn(m_, {"-p", "COM1", "save", Path("car.bs2")});
  ASSERT_EQ(cli::kExitOk, run.code) << run.err;
  EXPECT_EQ(FileOfController(), Read("car.bs2"));
}

TEST_F(CliFiles, SaveLeavesAnExistingFileAloneWhenABlockIsNotRead) {
  Write("car.bs2", "the previous car");
  m_.controller.silentBlocks = {5};
  const CliRun run = RunOn(m_, {"-p", "COM1", "save", Path("car.bs2")});
  EXPECT_EQ(cli::kExitNoAnswer, run.code);
  EXPECT_NE(std::string::npos, run.err.find("was not written")) << run.err;
  EXPECT_EQ("the previous car", Read("car.bs2"));
  m_.controller.silentBlocks.clear();
  EXPECT_EQ(cli::kExitFile, RunOn(m_, {"-p", "COM1", "save", Path("no/such/folder.bs2")}).code);
}

TEST_F(CliFiles, LoadKeepsARestorePointThenWritesThe32ValuesInFileOrder) {
  Write("other.bs2", FileOfController(1));
  const Bs2Values before = ParseBs2(FileOfController()).values;
  const CliRun run = RunOn(m_, {"-p", "COM1", "load", Path("other.bs2")});
  ASSERT_EQ(cli::kExitOk, run.code) << run.err;
  std::vector<std::pair<int, int>> expected;
  const Bs2Values file = ParseBs2(Read("other.bs2")).values;
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    expected.emplace_back(kParameters[k].writeAddress, file[k]);
  EXPECT_EQ(expected, m_.Writes());
  ASSERT_EQ(1u, RestorePoints());
  const std::string point = fs::directory_iterator(m_.backups)->path().string();
  std::string text;
  ASSERT_TRUE(m_.files.Read(point, 1 << 20, text));
  EXPECT_EQ(before, ParseBs2(text).values);
  EXPECT_NE(std::string::npos, run.out.find("Restore point: " + point)) << run.out;
  // Every setting changed by one: a change line for each.
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    EXPECT_NE(std::string::npos, run.out.find("\n" + std::string(kParameters[k].name) + " "))
        << kParameters[k].name;
}

TEST_F(CliFiles, NothingIsSentForABadFileADryRunOrAMissingRestorePoint) {
  Write("good.bs2", FileOfController(2));
  Write("bad.bs2", "[Tolmar_KV720+]\nVersion=4\n");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string said;
  } cases[] = {
      {{"load", Path("bad.bs2")}, cli::kExitMismatch, "line 2 should be \"Version=3\""},
      {{"load", Path("none.bs2")}, cli::kExitFile, "cannot read"},
      {{"load", Path("good.bs2"), "--dry-run"}, cli::kExitOk, "nothing was written"},
      {{"load", Path("good.bs2"), "--backups", Path("good.bs2/inside")}, cli::kExitFile,
       "a restore point could not be written in " + Path("good.bs2/inside")},
  };
  for (auto& c : cases) {
    m_.port.ClearLog();
    c.args.insert(c.args.begin(), {"-p", "COM1"});
    const CliRun run = RunOn(m_, c.args);
    EXPECT_EQ(c.code, run.code) << c.args[3];
    EXPECT_NE(std::string::npos, (run.out + run.err).find(c.said)) << run.out << run.err;
    EXPECT_TRUE(m_.Writes().empty()) << c.args[3];
  }
  EXPECT_EQ(0u, RestorePoints());
}

TEST_F(CliFiles, LoadStopsAtTheFirstWriteNotAcknowledgedOrNotEchoed) {
  Write("other.bs2", FileOfController(1));
  m_.controller.acknowledgedWrites = 4;
  CliRun run = RunOn(m_, {"-p", "COM1", "load", Path("other.bs2")});
  EXPECT_EQ(cli::kExitWriteFailed, run.code);
  EXPECT_EQ(5u, m_.Writes().size());
  EXPECT_NE(std::string::npos, run.err.find("write 5 of 32 (EmulType = 20) was not acknowledged; 4 "
                                            "of the 32 writes went out"))
      << run.err;

  m_.controller.acknowledgedWrites = -1;
  m_.controller.wrongEcho = true;
  m_.port.ClearLog();
  run = RunOn(m_, {"-p", "COM1", "load", Path("other.bs2")});
  EXPECT_EQ(cli::kExitWriteFailed, run.code);
  EXPECT_EQ(1u, m_.Writes().size());
  EXPECT_NE(std::string::npos, run.err.find("(Options = 16) was echoed as 239 instead")) << run.err;
  EXPECT_EQ(2u, RestorePoints());
}

// Ctrl+C (or a closed console, or a signal) after the fifth write: the load goes on to the last,
// says so once, and only then ends with the Ctrl+C code. One before the writes sends none.
TEST_F(CliFiles, AnInterruptDuringTheWritesWaitsForTheLastOne) {
  Write("other.bs2", FileOfController(1));
  for (std::size_t after : {5u, 32u, 0u}) {  // writes before; 0: during the restore point's reads
    m_.port.ClearLog();
    m_.interrupted = false;
    int block5Reads = 0;
    m_.controller.onFrame = [&](const std::vector<std::uint8_t>& frame) {
      const bool block5 = frame[1] == 5 && frame[2] == 5;
      if (after > 0 ? m_.Writes().size() == after : block5 && ++block5Reads == 2)
        m_.interrupted = true;
    };
    const CliRun run = RunOn(m_, {"-p", "COM1", "load", Path("other.bs2")});
    EXPECT_EQ(cli::kExitInterrupted, run.code) << after;
    EXPECT_FALSE(m_.holding);
    const std::string told = "finishing the writes: " + std::to_string(after) + " of 32";
    EXPECT_EQ(after == 5 ? 1u : 0u, run.err.find(told) != std::string::npos) << run.err;
    EXPECT_EQ(after == 0 ? 0u : 32u, m_.Writes().size()) << after;
  }
  EXPECT_EQ(3, m_.holds);
}

TEST_F(CliFiles, DiffListsTheDifferencesAndSaysWhetherThereAreAny) {
  Write("a.bs2", FileOfController());
  Write("b.bs2", FileOfController());
  CliRun run = RunOn(m_, {"diff", Path("a.bs2"), Path("b.bs2")});
  EXPECT_EQ(cli::kExitOk, run.code);
  EXPECT_NE(std::string::npos, run.out.find("No differences")) << run.out;

  m_.controller.Set(Param::AttMax, 40);
  m_.controller.Set(Param::LPGOnRPMLo, 0x6A);
  m_.controller.Set(Param::LPGOnRPMHi, 0x18);
  Write("b.bs2", FileOfController());
  m_.controller.Set(Param::AttMax, 50);
  Write("a.bs2", FileOfController());
  run = RunOn(m_, {"diff", Path("a.bs2"), Path("b.bs2")});
  EXPECT_EQ(cli::kExitDifferent, run.code);
  EXPECT_EQ(Path("a.bs2") + " -> " + Path("b.bs2") + ":\n" +
                "AttMax          50 ->  40  +50 steps -> +40 steps\n",
            run.out);

  Write("b.bs2", "[Tolmar_KV720+]\nVersion=3\n[Configuration]\nOptions= 256\n");
  run = RunOn(m_, {"diff", Path("a.bs2"), Path("b.bs2")});
  EXPECT_EQ(cli::kExitMismatch, run.code);
  EXPECT_NE(std::string::npos, run.err.find(Path("b.bs2") + " is not a KV720 settings file (line 4"))
      << run.err;
}

}  // namespace
}  // namespace kv::testing
