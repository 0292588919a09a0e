#include "platform_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "device_names.h"
#include "files/file_store.h"
#include "link/serial_port_posix.h"

namespace kv::cli {
namespace {

namespace fs = std::filesystem;

volatile sig_atomic_t interrupted = 0;
volatile sig_atomic_t holding = 0;

// The signals that end a command: Ctrl+C, kill and a closed terminal.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The terminal's settings while record takes keys from it without echo, given back even when
// a second Ctrl+C ends the program at once (tcsetattr may be called in a signal handler).
termios terminalBefore{};
volatile sig_atomic_t terminalChanged = 0;

void OnInterrupt(int signal) {
  // A second one is not asked twice: it ends the program at once, unless writes are running.
  if (interrupted && !holding) {
    if (terminalChanged) ::tcsetattr(STDIN_FILENO, TCSANOW, &terminalBefore);
    ::signal(signal, SIG_DFL);
    ::raise(signal);  // delivered as this handler returns
    return;
  }
  interrupted = 1;
}

// While writes run, the ending signals wait blocked (so no system call of the link is cut short
// either), and so do Ctrl+\ and a broken pipe on the output.
sigset_t HeldSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : kEndingSignals) sigaddset(&set, s);
  sigaddset(&set, SIGQUIT);
  sigaddset(&set, SIGPIPE);
  return set;
}

bool EndingSignalPending() {
  sigset_t pending;
  if (sigpending(&pending) != 0) return false;
  for (int s : kEndingSignals)
    if (sigismember(&pending, s) == 1) return true;
  return false;
}

void HoldSignals(bool hold) {
  const sigset_t set = HeldSignals();
  if (hold) {
    holding = 1;
    sigprocmask(SIG_BLOCK, &set, nullptr);
    return;
  }
  // The signals that came meanwhile are delivered here, while still held: each only notes.
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  holding = 0;
}

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

// The USB device a tty belongs to: the nearest folder above its sysfs device that names a
// product (ttyUSB sits two levels below it, ttyACM one); empty when there is none.
fs::path UsbDevice(const fs::path& sysEntry) {
  std::error_code e;
  fs::path at = fs::canonical(sysEntry / "device", e);
  for (int up = 0; !e && up < 4 && !at.empty(); ++up, at = at.parent_path())
    if (fs::exists(at / "product", e)) return at;
  return {};
}

std::string UsbDescription(const fs::path& sysEntry) {
  const fs::path at = UsbDevice(sysEntry);
  if (at.empty()) return {};
  std::string maker = FirstLine(at / "manufacturer"), product = FirstLine(at / "product");
  if (!maker.empty() && product.rfind(maker, 0) != 0) product = maker + " " + product;
  return product;
}

// The tty name behind a device path ("/dev/serial/by-id/usb-FTDI..." -> "ttyUSB0").
std::string TtyName(const std::string& device) {
  std::error_code e;
  const fs::path real = fs::canonical(device, e);
  return e ? fs::path(device).filename().string() : real.filename().string();
}

fs::path LatencyFile(const std::string& sys, const std::string& tty) {
  return fs::path(sys) / "bus" / "usb-serial" / "devices" / tty / "latency_timer";
}

std::string SetLatencyCommand(const fs::path& file) {
  return "echo 1 | sudo tee " + file.string();
}

std::string Description(const fs::path& sysEntry, const std::string& name) {
  std::string description = UsbDescription(sysEntry);
  if (!description.empty()) return description;
  if (name.rfind("ttyS", 0) == 0) return "built-in serial port";
  std::error_code e;
  const fs::path driver = fs::canonical(sysEntry / "device" / "driver", e);
  return e ? "serial port" : "serial port (" + driver.filename().string() + ")";
}

// A built-in ttyS port is real only when the kernel found a UART there (type is not 0, unknown).
bool HasHardware(const fs::path& sysEntry, const std::string& name) {
  std::error_code e;
  if (!fs::exists(sysEntry / "device", e)) return false;  // consoles, pseudo-terminals
  if (name.rfind("ttyS", 0) != 0) return true;
  const std::string type = FirstLine(sysEntry / "type");
  return !type.empty() && type != "0";
}

// The stable names of /dev/serial/by-id that lead to `device`.
std::vector<std::string> ByIdNames(const fs::path& dev, const fs::path& device) {
  std::vector<std::string> names;
  std::error_code e;
  const fs::path target = fs::canonical(device, e);
  if (e) return names;
  for (const auto& entry : fs::directory_iterator(dev / "serial" / "by-id", e)) {
    std::error_code ignored;
    if (fs::canonical(entry.path(), ignored) == target) names.push_back(entry.path().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// ttyS2 before ttyS10: the name's prefix, then its number.
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t i = s.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1]))) --i;
    return std::make_pair(s.substr(0, i), i < s.size() ? std::atol(s.c_str() + i) : -1L);
  };
  return split(a) < split(b);
}

std::string GroupOf(const struct stat& st) {
  if (const group* g = getgrgid(st.st_gid)) return g->gr_name;
  return std::to_string(st.st_gid);
}

// Standard input, read a key at a time without waiting. A terminal loses its line editing and
// echo while keys are taken, and only while this program is in its foreground (a background
// process touching it would be stopped).
class KeyReader {
 public:
  ~KeyReader() { End(); }
  std::string Take() {
    if (closed_) return {};
    if (!started_) Start();
    std::string keys;
    char buffer[256];
    pollfd in{STDIN_FILENO, POLLIN, 0};
    while (!closed_ && ::poll(&in, 1, 0) > 0 && (in.revents & (POLLIN | POLLHUP))) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) closed_ = n == 0 || errno != EINTR;
      if (n > 0) keys.append(buffer, static_cast<std::size_t>(n));
    }
    for (char& c : keys)
      if (c == 0x7F) c = '\b';
    return keys;
  }
  void End() {
    terminalChanged = 0;
    if (raw_) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    raw_ = false;
  }

 private:
  void Start() {
    started_ = true;
    if (!::isatty(STDIN_FILENO)) return;
    if (::tcgetpgrp(STDIN_FILENO) != ::getpgrp() || ::tcgetattr(STDIN_FILENO, &saved_) != 0) {
      closed_ = true;
      return;
    }
    termios keys = saved_;
    keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keys.c_cc[VMIN] = 0;
    keys.c_cc[VTIME] = 0;
    terminalBefore = saved_;
    terminalChanged = 1;
    raw_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &keys) == 0;
    terminalChanged = raw_;
  }
  termios saved_{};
  bool started_ = false, raw_ = false, closed_ = false;
};

class PosixPlatform final : public Platform {
 public:
  SerialPort& Port() override { return port_; }
  FileStore& Files() override { return files_; }
  std::string DeviceName(const std::string& port) const override { return PosixDeviceName(port); }
  PortProblem DiagnoseOpen(const std::string& device) override { return DiagnosePosixOpen(device); }
  std::vector<PortEntry> ListPorts() override { return ListPosixPorts("/sys/class/tty", "/dev"); }
  AdapterInfo DescribeAdapter(const std::string& device) override {
    return DescribePosixAdapter(device, "/sys");
  }
  LatencyResult SetLatencyTimer(const std::string& device, int milliseconds) override {
    return SetPosixLatency(device, "/sys", milliseconds);
  }
  bool Interrupted() const override {
    return interrupted != 0 || (holding != 0 && EndingSignalPending());
  }
  void HoldInterrupts(bool hold) override { HoldSignals(hold); }
  void FineClock(bool) override {}  // the POSIX clock is fine already
  LocalTime Now() const override {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  }
  std::string DefaultBackupFolder() const override {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
      return std::string(data) + "/kv720/Backups";
    if (const char* home = std::getenv("HOME"); home && *home)
      return std::string(home) + "/.local/share/kv720/Backups";
    return "Backups";
  }
  bool OutputIsTerminal() const override { return isatty(STDOUT_FILENO) != 0; }
  bool ErrorsAreTerminal() const override { return isatty(STDERR_FILENO) != 0; }
  std::string TypedKeys() override { return keys_.Take(); }
  void EndTyping() override { keys_.End(); }
  std::FILE* CreateRecording(const std::string& path, bool replace) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL),
                          0644);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) ::close(fd);
    return file;
  }
  bool SyncRecording(std::FILE* file) override {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
  }

 private:
  KeyReader keys_;
  PosixSerialPort port_;
  SystemFileStore files_;
};

}  // namespace

std::vector<PortEntry> ListPosixPorts(const std::string& sysTty, const std::string& dev) {
  std::vector<std::string> names;
  std::error_code e;
  for (const auto& entry : fs::directory_iterator(sysTty, e)) {
    const std::string name = entry.path().filename().string();
    std::error_code missing;
    if (HasHardware(entry.path(), name) && fs::exists(fs::path(dev) / name, missing))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<PortEntry> ports;
  for (const auto& name : names) {
    const fs::path device = fs::path(dev) / name;
    std::string description = Description(fs::path(sysTty) / name, name);
    for (const auto& stable : ByIdNames(dev, device)) description += "  " + stable;
    ports.push_back({device.string(), description});
  }
  return ports;
}

PortProblem DiagnosePosixOpen(const std::string& device) {
  struct stat st{};
  if (::stat(device.c_str(), &st) != 0) {
    struct stat link{};
    if (::lstat(device.c_str(), &link) == 0)
      return {PortTrouble::Missing, device + " leads nowhere: the adapter is not plugged in"};
    return {PortTrouble::Missing,
            device + " does not exist (kv720-cli ports lists this machine's serial ports)"};
  }
  if (!S_ISCHR(st.st_mode)) return {PortTrouble::NotSerial, device + " is not a serial port"};
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM)
      return {PortTrouble::Permission,
              "no permission to open " + device + ": join the group \"" + GroupOf(st) +
                  "\" (sudo usermod -aG " + GroupOf(st) + " $USER, then log in again)"};
    if (error == EBUSY)
      return {PortTrouble::Busy, device + " is in use by another program (the KV720 window, a "
                                          "terminal program or another kv720-cli?)"};
    if (error == ENXIO || error == ENODEV || error == ENOENT)
      return {PortTrouble::Missing, "no device answers behind " + device + " (unplugged?)"};
    return {PortTrouble::Other, "cannot open " + device + ": " + std::strerror(error)};
  }
  termios tio{};
  const bool isTerminal = ::tcgetattr(fd, &tio) == 0;
  ::close(fd);
  if (!isTerminal) return {PortTrouble::NotSerial, device + " is not a serial port"};
  return {};
}

AdapterInfo DescribePosixAdapter(const std::string& device, const std::string& sys) {
  AdapterInfo a;
  const std::string tty = TtyName(device);
  const fs::path entry = fs::path(sys) / "class" / "tty" / tty;
  std::error_code e;
  if (tty.empty() || !fs::exists(entry / "device", e)) {
    a.setToOne = SetLatencyCommand(LatencyFile(sys, "ttyUSBn"));
    return a;
  }
  a.known = true;
  a.name = UsbDescription(entry);
  if (a.name.empty()) a.name = Description(entry, tty);
  if (const fs::path usb = UsbDevice(entry); !usb.empty() && fs::exists(usb / "idVendor", e))
    a.name += " (USB " + FirstLine(usb / "idVendor") + ":" + FirstLine(usb / "idProduct") + ")";
  const std::string driver = fs::canonical(entry / "device" / "driver", e).filename().string();
  const fs::path file = LatencyFile(sys, tty);
  a.latencyTimer = (!e && driver == "ftdi_sio") || fs::exists(file, e);
  if (!a.latencyTimer) return a;
  const std::string value = FirstLine(file);
  if (!value.empty() && std::isdigit(static_cast<unsigned char>(value[0])))
    a.latencyMs = std::atoi(value.c_str());
  a.setToOne = SetLatencyCommand(file);
  return a;
}

LatencyResult SetPosixLatency(const std::string& device, const std::string& sys, int milliseconds) {
  const std::string tty = TtyName(device);
  const fs::path file = LatencyFile(sys, tty);
  std::error_code e;
  if (!fs::exists(fs::path(sys) / "class" / "tty" / tty / "device", e))
    return {LatencyChange::Impossible,
            "The system does not say which adapter " + device + " is, so its latency timer "
            "cannot be set from here."};
  if (!fs::exists(file, e))
    return {LatencyChange::Impossible, "This port has no latency timer in " + file.parent_path().string() + "."};
  const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 && (errno == EACCES || errno == EPERM))
    return {LatencyChange::NotAllowed, "Only root may set it: " + SetLatencyCommand(file)};
  const std::string value = std::to_string(milliseconds) + "\n";
  const bool written =
      fd >= 0 && ::write(fd, value.data(), value.size()) == static_cast<ssize_t>(value.size());
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (!written)
    return {LatencyChange::Impossible,
            "Writing " + file.string() + " failed: " + std::strerror(error)};
  return {LatencyChange::Done, {}};
}

void InstallInterruptHandler() {
  struct sigaction action{};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int s : kEndingSignals) sigaddset(&action.sa_mask, s);
  action.sa_flags = 0;  // no restart: a waiting read returns and the loop sees the flag
  for (int s : kEndingSignals) sigaction(s, &action, nullptr);
}

std::unique_ptr<Platform> MakePosixPlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace kv::cli
