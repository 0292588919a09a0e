// The native kv720-cli, run as a program, against kv720-sim over a pseudo-terminal: what it
// prints, what it sends (the simulator's frame log), the files it writes and its exit codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/link.h"
#include "link/parameters.h"
#include "link/value_texts.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

struct CliResult {
  int code = -1;
  std::string out, err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Starts kv720-cli with `args`, its output going to files in `folder` (its input from `input`
// when given; a terminal there becomes its controlling terminal, as a shell's would be).
pid_t Start(const std::vector<std::string>& args, const fs::path& folder, int input = -1) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (input >= 0 && ::isatty(input) && ::setsid() >= 0) ::ioctl(input, TIOCSCTTY, 0);
    if (input >= 0) ::dup2(input, 0);
    const int out = ::open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open((folder / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<std::string> words{KV720_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

CliResult Finish(pid_t pid, const fs::path& folder) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(folder / "out"),
          ReadFile(folder / "err")};
}

struct CliOverPty : ::testing::Test {
  testing::SimProcess sim{{"--static", "--start-time", "40"}};
  testing::TempDir folder{"kv720-cli"};

  void SetUp() override { ASSERT_TRUE(sim.Ready()); }

  CliResult Cli(std::vector<std::string> args, const testing::SimProcess* on = nullptr) {
    args.insert(args.begin(), {"--port", (on ? on : &sim)->Link()});
    return Finish(Start(args, folder), folder);
  }
  std::string File(const std::string& name) const { return (folder / name).string(); }
  int Byte(const testing::SimProcess& s, int block, int k) const {
    return std::stoi(s.Control("get " + std::to_string(block) + " " + std::to_string(k)).substr(3));
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Waits for something another process does; false after a generous while.
template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::size_t WritesIn(const std::vector<std::string>& frames) {
  return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), [](const std::string& f) {
    return f.size() == 11 && f.substr(3, 2) != f.substr(6, 2);  // not a read request
  }));
}

std::string Hex(const std::array<std::uint8_t, 4>& frame) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X", frame[0], frame[1], frame[2], frame[3]);
  return text;
}

TEST_F(CliOverPty, InfoShowsTheSimulatorsRecord) {
  const CliResult run = Cli({"info"});
  ASSERT_EQ(0, run.code) << run.err;
  for (const char* part : {"65 01 45 AB", "3.05", "KR720SM", "1234h25'", "2019-05-14"})
    EXPECT_TRUE(Has(run.out, part)) << part << "\n" << run.out;
  EXPECT_EQ((std::vector<std::string>{"65 01 01 67", "65 05 05 6F"}), sim.Sent());
}

TEST_F(CliOverPty, ReadDecodesTheSimulatorsSettings) {
  const CliResult run = Cli({"read"});
  ASSERT_EQ(0, run.code) << run.err;
  for (const char* line : {"LPGOnRPMLo      76  2000 rpm\n", "LPGOnTemp      145  30 °C\n",
                           "LambdaPoint     22  0.44 V\n", "CutOffRPMHi     39  1500 rpm\n",
                           "AttMin          40  -40 steps\n", "WOZG            10  1.0 s\n"})
    EXPECT_TRUE(Has(run.out, line)) << line << run.out;
  const CliResult json = Cli({"read", "--json"});
  ASSERT_EQ(0, json.code) << json.err;
  EXPECT_TRUE(Has(json.out, "\"AttInit\": {\"raw\": 110, \"value\": 110, \"unit\": \"steps\"}"))
      << json.out;
  // And it is JSON that a JSON reader takes.
  std::ofstream(File("read.json")) << json.out;
  const std::string check = "python3 -c 'import json,sys; json.load(open(sys.argv[1]))' " + File("read.json");
  EXPECT_EQ(0, std::system(check.c_str())) << json.out;
}

TEST_F(CliOverPty, SaveThenLoadIntoAnotherCarWritesThe32ValuesInFileOrder) {
  ASSERT_EQ(0, Cli({"save", File("a.bs2")}).code);
  const std::string saved = ReadFile(File("a.bs2"));
  ASSERT_EQ(0u, saved.rfind("[Tolmar_KV720+]\nVersion=3\n[Configuration]\nOptions= 42\n", 0)) << saved;

  testing::SimProcess other{{"--static"}};
  ASSERT_TRUE(other.Ready());
  for (const char* change : {"set 3 1 106", "set 4 5 106", "set 4 6 24", "set 5 1 7", "set 2 4 99",
                             "set 3 8 50"})
    ASSERT_EQ(0u, other.Control(change).rfind("ok", 0));
  ASSERT_EQ(0, Cli({"save", File("b.bs2")}, &other).code);
  other.Control("log-clear");

  const CliResult load = Cli({"load", File("a.bs2"), "--backups", File("backups")}, &other);
  ASSERT_EQ(0, load.code) << load.err;
  EXPECT_TRUE(Has(load.out, "Options        106 ->  42  ")) << load.out;
  EXPECT_TRUE(Has(load.out, "LPGOnRPMLo     106 ->  76  2400 rpm -> 2000 rpm")) << load.out;

  // On the wire: identification, Blocks 2..5 (what changes), Blocks 2..5 again (the restore
  // point, read as File > Open reads it), then the 32 writes in file order.
  std::vector<std::string> expected{"65 01 01 67", "65 02 02 69", "65 03 03 6B", "65 04 04 6D",
                                    "65 05 05 6F", "65 02 02 69", "65 03 03 6B", "65 04 04 6D",
                                    "65 05 05 6F"};
  std::istringstream lines(saved);
  std::string key;
  int value = 0;
  lines >> key >> key >> key;
  for (std::size_t k = 0; k < kSettingsCount && lines >> key >> value; ++k) {
    const auto frame = WriteFrame(kParameters[k].writeAddress, static_cast<std::uint8_t>(value));
    expected.push_back(Hex(frame));
  }
  EXPECT_EQ(expected, other.Sent());

  // The other car now holds the first car's settings; its own are in the restore point.
  ASSERT_EQ(0, Cli({"save", File("after.bs2")}, &other).code);
  EXPECT_EQ(saved, ReadFile(File("after.bs2")));
  const auto points = std::vector<fs::directory_entry>(fs::directory_iterator(File("backups")), {});
  ASSERT_EQ(1u, points.size());
  EXPECT_TRUE(points[0].path().filename().string().rfind("KR720SM_", 0) == 0);
  EXPECT_EQ(0u, ReadFile(points[0].path()).rfind(ReadFile(File("b.bs2")), 0));
  EXPECT_EQ(0, Cli({"diff", File("b.bs2"), points[0].path().string()}).code);
}

TEST_F(CliOverPty, DryRunAndBadFilesSendNoWrite) {
  ASSERT_EQ(0, Cli({"save", File("a.bs2")}).code);
  sim.Control("set 4 7 5");
  sim.Control("log-clear");
  const CliResult dry = Cli({"load", "--dry-run", File("a.bs2")});
  EXPECT_EQ(0, dry.code) << dry.err;
  EXPECT_TRUE(Has(dry.out, "IgnitionType     5 ->   1")) << dry.out;
  EXPECT_TRUE(Has(dry.out, "nothing was written")) << dry.out;
  for (const auto& frame : sim.Sent()) EXPECT_EQ(frame.substr(3, 2), frame.substr(6, 2)) << frame;

  std::ofstream(File("bad.bs2")) << ReadFile(File("a.bs2")).replace(0, 1, "(");
  sim.Control("log-clear");
  const CliResult bad = Cli({"load", File("bad.bs2")});
  EXPECT_EQ(6, bad.code);
  EXPECT_TRUE(Has(bad.err, "line 1")) << bad.err;
  EXPECT_TRUE(sim.Sent().empty());
  EXPECT_EQ(5, Byte(sim, 4, 7));
}

TEST_F(CliOverPty, AWriteWithoutEchoStopsTheLoad) {
  ASSERT_EQ(0, Cli({"save", File("a.bs2")}).code);
  sim.Control("noecho-after 10");
  const CliResult run = Cli({"load", File("a.bs2"), "--backups", File("backups")});
  EXPECT_EQ(7, run.code);
  EXPECT_TRUE(Has(run.err, "write 11 of 32 (LPGOnTemp = 145) was not acknowledged")) << run.err;
  EXPECT_TRUE(Has(run.err, File("backups"))) << run.err;
}

// Ctrl+C, a second Ctrl+C, kill and a closed terminal while the 32 writes run (each acknowledged
// 60 ms late, so that they take a couple of seconds): the load sends every write, says once how
// far it was, and only then ends with the Ctrl+C code.
TEST_F(CliOverPty, SignalsDuringTheWritesWaitForTheLastOne) {
  ASSERT_EQ(0, Cli({"save", File("a.bs2")}).code);
  testing::SimProcess other{{"--static"}};
  ASSERT_TRUE(other.Ready());
  for (const char* change : {"set 3 1 106", "set 4 6 24", "delay 60", "log-clear"})
    ASSERT_EQ(0u, other.Control(change).rfind("ok", 0));
  const pid_t pid =
      Start({"--port", other.Link(), "load", File("a.bs2"), "--backups", File("backups")}, folder);
  ASSERT_TRUE(WaitFor([&] { return WritesIn(other.Sent()) >= 1; }));
  ::kill(pid, SIGINT);
  ASSERT_TRUE(WaitFor([&] { return Has(ReadFile(folder / "err"), "finishing the writes: "); }));
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::kill(pid, signal);
  const CliResult run = Finish(pid, folder);
  EXPECT_EQ(130, run.code) << run.err;
  EXPECT_EQ(32u, WritesIn(other.Sent()));
  const std::string said = "kv720-cli: finishing the writes: ";
  const auto told = run.err.find(said);
  ASSERT_NE(std::string::npos, told) << run.err;
  EXPECT_EQ(std::string::npos, run.err.find(said, told + 1)) << run.err;
  const int done = std::stoi(run.err.substr(told + said.size()));
  EXPECT_TRUE(done >= 1 && done < 32) << run.err;
  EXPECT_TRUE(Has(run.err, " of 32\n")) << run.err;
  EXPECT_TRUE(Has(run.out, "Loaded the 32 settings")) << run.out;
  other.Control("delay 0");
  ASSERT_EQ(0, Cli({"save", File("after.bs2")}, &other).code);
  EXPECT_EQ(ReadFile(File("a.bs2")), ReadFile(File("after.bs2")));
}

TEST_F(CliOverPty, RecordWritesOneRowPerBlock2ReplyDecoded) {
  const CliResult run = Cli({"record", File("r.csv"), "--seconds", "2"});
  ASSERT_EQ(0, run.code) << run.err;
  std::istringstream csv(ReadFile(File("r.csv")));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(0u, line.rfind("time_s,lambda_V,tps_V,", 0)) << line;
  std::getline(csv, line);
  EXPECT_EQ(0u, line.rfind("s,V,V,,steps,", 0)) << line;
  EXPECT_TRUE(Has(line, ",started 20")) << line;
  std::vector<std::string> rows;
  while (std::getline(csv, line)) rows.push_back(line);
  // 50 ms ticks for two seconds: never more rows than ticks, and well over a handful.
  EXPECT_LE(rows.size(), 42u);
  EXPECT_GE(rows.size(), 10u);

  // The static signals, decoded from the bytes the simulator sends.
  const int lambda = Byte(sim, 2, 2), tps = Byte(sim, 2, 1);
  char expected[160];
  std::snprintf(expected, sizeof expected, ",%d.%04d,%d.%04d,,%d,%d,%lu,%ld,", lambda * 196 / 10000,
                lambda * 196 % 10000, tps * 196 / 10000, tps * 196 % 10000, Byte(sim, 2, 3),
                Byte(sim, 2, 4), SpeedFromPeriod(Byte(sim, 2, 6), Byte(sim, 2, 5)),
                TemperatureFromRaw(Byte(sim, 2, 9)));
  double last = -1;
  for (const auto& row : rows) {
    EXPECT_TRUE(Has(row, expected)) << row << " lacks " << expected;
    const double t = std::stod(row);
    EXPECT_GT(t, last);
    last = t;
  }
}

// Waits (generously) until the file holds `part`; the recording reaches the disk every second.
bool FileComesToHold(const std::string& path, const std::string& part) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Has(ReadFile(path), part)) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

TEST_F(CliOverPty, RecordTakesMarkersFromItsInputAndEndsCompleteOnCtrlC) {
  testing::SimProcess cold{{"--static"}};
  ASSERT_TRUE(cold.Ready());
  int keys[2];
  ASSERT_EQ(0, ::pipe(keys));
  const pid_t pid = Start({"--port", cold.Link(), "record", File("r.csv")}, folder, keys[0]);
  ::close(keys[0]);
  ASSERT_TRUE(FileComesToHold(File("r.csv"), "\n0.")) << "no first row";
  cold.Control("set 2 8 193");  // on gas, both conditions met
  const std::string typed = "on gas, \"now\"\n";
  ASSERT_EQ(static_cast<ssize_t>(typed.size()), ::write(keys[1], typed.data(), typed.size()));
  EXPECT_TRUE(FileComesToHold(File("r.csv"), ",1,\"on gas, \"\"now\"\"\"\n"));
  ASSERT_EQ(1, ::write(keys[1], "\n", 1));
  EXPECT_TRUE(FileComesToHold(File("r.csv"), ",2,\n"));
  ::kill(pid, SIGINT);
  const CliResult run = Finish(pid, folder);
  ::close(keys[1]);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_TRUE(Has(run.err, "marker 1 at ")) << run.err;
  const std::string csv = ReadFile(File("r.csv"));
  ASSERT_FALSE(csv.empty());
  EXPECT_EQ('\n', csv.back());
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  const auto columns = std::count(line.begin(), line.end(), ',');
  std::getline(lines, line);
  int rows = 0;
  while (std::getline(lines, line)) {
    ++rows;
    if (!Has(line, "\"")) {
      EXPECT_EQ(columns, std::count(line.begin(), line.end(), ',')) << line;
    }
  }
  EXPECT_GT(rows, 4);
}

// Two ending signals at once end record at once (the second is not asked twice); the terminal
// it took keys from without echo gets its echo and line editing back all the same.
TEST_F(CliOverPty, RecordEndedAtOnceGivesTheTerminalBack) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(0, ::grantpt(master));
  ASSERT_EQ(0, ::unlockpt(master));
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  const pid_t pid = Start({"--port", sim.Link(), "record", File("r.csv")}, folder, terminal);
  termios mode{};
  ASSERT_TRUE(WaitFor([&] { return ::tcgetattr(terminal, &mode) == 0 && !(mode.c_lflag & ECHO); }));
  ::kill(pid, SIGTERM);
  ::kill(pid, SIGINT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_EQ(0, ::tcgetattr(terminal, &mode));
  EXPECT_TRUE((mode.c_lflag & ECHO) && (mode.c_lflag & ICANON)) << std::hex << mode.c_lflag;
  ::close(terminal);
  ::close(master);
}

TEST_F(CliOverPty, DoctorNamesTheFailingStage) {
  CliResult run = Finish(Start({"--port", File("no-such-port"), "doctor"}, folder), folder);
  EXPECT_EQ(3, run.code);
  EXPECT_TRUE(Has(run.err, "stage 1: the port opens")) << run.err;
  EXPECT_TRUE(Has(run.out, "does not exist")) << run.out;

  sim.Control("silence on");
  run = Cli({"doctor"});
  EXPECT_EQ(4, run.code);
  EXPECT_TRUE(Has(run.err, "stage 2: bytes come back")) << run.err;
  sim.Control("silence off");

  sim.Control("version 2");
  run = Cli({"doctor"});
  EXPECT_EQ(5, run.code);
  EXPECT_TRUE(Has(run.err, "stage 5: the controller is version 3")) << run.err;
  EXPECT_TRUE(Has(run.out, "version 2.05")) << run.out;
  sim.Control("version 3");

  run = Cli({"doctor"});
  EXPECT_EQ(0, run.code) << run.out << run.err;
}

// The simulator plays a USB adapter whose latency timer holds every reply until it runs out.
TEST_F(CliOverPty, DoctorPutsLateRepliesDownToTheAdaptersLatencyTimer) {
  CliResult run = Cli({"doctor"});
  EXPECT_EQ(0, run.code) << run.out << run.err;
  EXPECT_TRUE(Has(run.out, "Every stage passed")) << run.out;
  EXPECT_FALSE(Has(run.out, "latency")) << run.out;

  sim.Control("latency 16");
  run = Cli({"doctor"});
  EXPECT_EQ(0, run.code) << run.out << run.err;
  EXPECT_TRUE(Has(run.out, "7 replies come in their wire time  slow")) << run.out;
  EXPECT_TRUE(Has(run.out, "a USB serial adapter with a latency timer")) << run.out;
  EXPECT_TRUE(Has(run.out, "set its timer to 1 ms:")) << run.out;
  EXPECT_TRUE(Has(run.out, "/latency_timer")) << run.out;

  // A pseudo-terminal is no adapter the system knows: nothing can be set, and doctor says so.
  run = Cli({"doctor", "--fix-latency"});
  EXPECT_EQ(8, run.code) << run.out << run.err;
  EXPECT_TRUE(Has(run.out, "not set. The system does not say which adapter")) << run.out;
}

}  // namespace
}  // namespace kv
