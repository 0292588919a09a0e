// Runs the real kv720-sim on a pty: a write and its echo over the line, a fault injected through
// the control socket, the frame log, and a clean exit that removes the link.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

// Runs a command line, returns its stdout and exit code.
std::string Shell(const std::string& command, int& status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  status = pclose(p);
  status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

class SimProcess {
 public:
  explicit SimProcess(const fs::path& dir) : dir_(dir) {
    fs::create_directories(dir);
    link_ = dir / "com1";
    control_ = dir / "ctl";
    log_ = dir / "frames.log";
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      execl(KV720_SIM_BINARY, KV720_SIM_BINARY, "--link", link_.c_str(), "--control",
            control_.c_str(), "--log", log_.c_str(), "--static", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  bool Ready() const {
    return WaitFor([&] { return fs::exists(control_) && fs::is_symlink(link_); });
  }
  std::string Ctl(const std::string& command, int& status) const {
    return Shell(std::string(KV720_SIM_BINARY) + " --ctl " + control_.string() + " " + command, status);
  }
  // SIGTERM, and the exit status (-1 when it did not end in time).
  int Stop() {
    kill(pid_, SIGTERM);
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
    pid_ = ended ? -1 : pid_;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const fs::path& link() const { return link_; }
  const fs::path& control() const { return control_; }
  std::string Log() const {
    std::ifstream in(log_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  fs::path dir_, link_, control_, log_;
  pid_t pid_ = -1;
};

int OpenPort(const fs::path& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return fd;
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
  return fd;
}

// Sends bytes, then collects what arrives until `expect` bytes or a 300 ms silence.
Bytes Exchange(int fd, const Bytes& out, std::size_t expect) {
  EXPECT_EQ(write(fd, out.data(), out.size()), static_cast<ssize_t>(out.size()));
  Bytes in;
  while (in.size() < expect) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 300) <= 0) break;
    std::uint8_t buf[64];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    in.insert(in.end(), buf, buf + n);
  }
  return in;
}

TEST(SimBinary, WritesEchoFaultsAndLogOverARealPty) {
  SimProcess sim(fs::temp_directory_path() / ("kv720-sim-test-" + std::to_string(getpid())));
  ASSERT_TRUE(sim.Ready());

  int fd = OpenPort(sim.link());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange(fd, {0x65, 0x01, 0x01, 0x67}, 4), (Bytes{0x65, 0x01, 0x45, 0xAB}));
  // Write address 21 = 0x70 (wire 0x16) is echoed and lands in Block 4 byte 5.
  EXPECT_EQ(Exchange(fd, {0x65, 0x16, 0x70, 0xEB}, 3), (Bytes{0x65, 0x70, 0xD5}));
  int status = -1;
  EXPECT_EQ(sim.Ctl("get 4 5", status), "ok 112\n");
  EXPECT_EQ(status, 0);

  // The program closes and reopens the port: the simulator keeps answering.
  close(fd);
  fd = OpenPort(sim.link());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange(fd, {0x65, 0x04, 0x04, 0x6D}, 16).size(), 16u);

  // Faults through the control socket.
  EXPECT_EQ(sim.Ctl("wrongecho on", status), "ok wrongecho on\n");
  EXPECT_EQ(Exchange(fd, {0x65, 0x16, 0x70, 0xEB}, 3), (Bytes{0x65, 0x8F, 0xF4}));
  sim.Ctl("wrongecho off", status);
  EXPECT_EQ(sim.Ctl("silence on", status), "ok silence on\n");
  EXPECT_TRUE(Exchange(fd, {0x65, 0x01, 0x01, 0x67}, 4).empty());
  sim.Ctl("silence off", status);
  EXPECT_TRUE(Exchange(fd, {0x65, 0x01, 0x01, 0x68}, 4).empty());  // bad checksum: ignored
  EXPECT_EQ(Exchange(fd, {0x65, 0x01, 0x01, 0x67}, 4).size(), 4u);
  EXPECT_EQ(sim.Ctl("bogus", status), "error unknown command: bogus\n");
  EXPECT_EQ(status, 1);
  close(fd);

  const std::string log = sim.Log();
  EXPECT_NE(log.find(" in 65 16 70 EB\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" out 65 70 D5\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" out 65 8F F4\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" in 65 01 01 68 # garbage\n"), std::string::npos) << log;

  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link())));
  EXPECT_FALSE(fs::exists(fs::symlink_status(sim.control())));
}

TEST(SimBinary, ClientModeFailsCleanlyWithoutASimulator) {
  int status = -1;
  Shell(std::string(KV720_SIM_BINARY) + " --ctl /nonexistent/kv720.sock status 2>/dev/null", status);
  EXPECT_EQ(status, 2);
}

}  // namespace
