// kv720-sim: plays a KV720 controller on a pseudo-terminal. The model (frames, blocks, writes,
// commands, faults, live signals) lives in the library; this file owns the pty, the control
// socket, the frame log and the poll() loop.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "control.h"
#include "controller.h"
#include "frame.h"
#include "line.h"

using namespace kv::sim;

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char c = 1;
  [[maybe_unused]] ssize_t r = write(signalPipe[1], &c, 1);
  errno = saved;
}

Micros Now() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                start)
      .count();
}

void PrintHelp() {
  std::printf(
      "Usage: kv720-sim [options]\n"
      "       kv720-sim --ctl SOCKET COMMAND...\n"
      "\n"
      "Plays a KV720 LPG controller on a pseudo-terminal: answers the five read requests\n"
      "(65 0n 0n sum, n = 1..5) with Blocks 1..5, applies write commands 65 A V sum (A = write\n"
      "address + 1) and acknowledges them, runs the commands sent to write address 30, and drives\n"
      "live readings from a running car.\n"
      "\n"
      "Options:\n"
      "  --link PATH         make PATH a symlink to the pty slave (removed on exit)\n"
      "  --control PATH      listen for control commands on a Unix stream socket at PATH\n"
      "  --log PATH          frame log (truncated at start), one line per frame, flushed\n"
      "  --version V         controller version 1..8 (default 3)\n"
      "  --revision R        revision 0..31 (default 5; Block 1 byte 2 = 0x45)\n"
      "  --delay MS          processing delay before each reply (default 2)\n"
      "  --no-pacing         send replies at once instead of at 9600 baud\n"
      "  --latency MS        play a USB serial adapter whose latency timer is MS (1..255):\n"
      "                      replies reach the reader when the timer runs out or 62 bytes\n"
      "                      have gathered (default 0: a plain serial line)\n"
      "  --static            freeze the live signals (deterministic bytes for tests)\n"
      "  --start-time S      start the car model S seconds into its run (default 0: cold idle)\n"
      "  --learn-time MS     length of a learning cycle (default 3000)\n"
      "  --learn-result R    ok | fail | interrupted (default ok)\n"
      "  --exec COMMAND      run a control command at start (repeatable), e.g. --exec 'engine stop'\n"
      "  --ctl SOCKET CMD..  client mode: send CMD to a running simulator, print the reply;\n"
      "                      exit 0 on \"ok ...\", 1 on \"error ...\", 2 when it cannot connect\n"
      "  --help              this text\n"
      "\n"
      "On start it prints \"kv720-sim ready pty=/dev/pts/N\" on stdout once the link and the\n"
      "control socket exist. SIGINT/SIGTERM/SIGHUP end it cleanly.\n"
      "\n"
      "Line: replies leave one byte every 1.042 ms after the request's 4 bytes (4.17 ms) and the\n"
      "delay. Frames are 65 .. sum; a frame with a bad checksum gets no reply; bytes that do not\n"
      "form a frame are dropped (the scan resumes at the next 0x65); a partial frame is dropped\n"
      "after 200 ms of silence. A request is 65 0n 0n with n = 1..5; every other valid frame is a\n"
      "write. Acknowledgement: 3 bytes 65 V (65+V), V the value written. Writes to addresses\n"
      "outside the map (0..4, above 49) are acknowledged and change nothing.\n"
      "\n"
      "Commands at write address 30:\n"
      "  50  learning: Block 2 byte 8 bit 1 set for the learn time, then the outcome in bits 4,5:\n"
      "      bit 4 = the cycle finished, bit 5 = it failed (kept until the next cycle): ok = bit 4,\n"
      "      fail = bits 4 and 5, interrupted = both clear\n"
      "  51  factory reset: every setting below back to its factory value (the service record,\n"
      "      Block 5 bytes 8..19, is kept)\n"
      "  52  gas level sensor points Prog1..Prog4 back to their factory values\n"
      "\n"
      "Control commands (one a line on the socket; one reply line \"ok ...\" or \"error ...\"):\n"
      "%s"
      "\n"
      "Frame log: \"<seconds since start, 6 decimals> <in|out> <hex bytes>\", e.g.\n"
      "  12.345678 in 65 16 70 EB\n"
      "  12.345690 out 65 70 D5\n"
      "in = what the program sent (a valid frame), out = what the simulator answered (as sent,\n"
      "faults included; nothing when silent); bytes dropped by the receiver are logged as in with\n"
      "a trailing \" # garbage\".\n"
      "\n"
      "Car: a 30 s drive cycle (idle 800 rpm, rev to 2600, engine braking with cut-off, idle, a\n"
      "rev to 4500); coolant from 20 C towards 90 C; petrol until the coolant reaches LPGOnTemp\n"
      "(when Options bit 1 is set) and the speed passes the LPG-on speed (rising, or falling back\n"
      "below it with Options bit 4), then gas (Block 2 byte 8 bit 0), LPG OFF above the LPG-off\n"
      "speed (Options bit 6). Byte 8: bit 0 gas, 1 learning, 2 LPG off, 3 cut-off, 4,5 learning\n"
      "outcome, 6 speed condition met, 7 temperature reached. Byte 7: bits 2..0 lambda state\n"
      "(1 lean, 2 at the point, 4 rich), bit 3 engine running, bits 7..4 TPS lamp (0x10 idle ..\n"
      "0x80 wide open; for TPS codes 6,7 bit 4 = throttle off idle). Gas level (Block 5 byte 5) =\n"
      "how many of Prog1..Prog4 the sensor value (start 170, slowly draining on gas) reaches.\n"
      "Minutes on gas are counted in Block 5 bytes 8..10.\n"
      "\n"
      "The program refuses a factory reset while Block 2 byte 7 bit 3 is set, which is whenever\n"
      "the engine runs: use 'engine stop' (or 'refuse-reset off') before a reset.\n"
      "\n"
      "Factory settings (command 51):\n",
      ControlHelp());
  std::size_t count = 0;
  const FactorySetting* f = FactorySettings(count);
  for (std::size_t i = 0; i < count; ++i) {
    char where[24];
    if (f[i].writeAddress >= 0) std::snprintf(where, sizeof where, "addr %d", f[i].writeAddress);
    else std::snprintf(where, sizeof where, "-");
    std::printf("  Block %d byte %-2d %-8s %-17s %3u (0x%02X)  %s\n", f[i].block, f[i].index, where,
                f[i].name, f[i].value, f[i].value, f[i].meaning);
  }
  std::printf(
      "Service record at start: 1234 h 25 min on gas, installed 2019-05-14, registration KR720SM;\n"
      "Block 1 byte 1 = 0x01.\n");
}

int ClientMode(const char* path, int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i) line += ' ';
    line += argv[i];
  }
  if (line.empty()) {
    std::fprintf(stderr, "kv720-sim: --ctl needs a command\n");
    return 2;
  }
  line += '\n';
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof addr.sun_path) {
    std::fprintf(stderr, "kv720-sim: socket path too long\n");
    return 2;
  }
  std::strcpy(addr.sun_path, path);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::fprintf(stderr, "kv720-sim: cannot connect to %s: %s\n", path, std::strerror(errno));
    if (fd >= 0) close(fd);
    return 2;
  }
  std::size_t sent = 0;
  while (sent < line.size()) {
    const ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      std::fprintf(stderr, "kv720-sim: send failed\n");
      close(fd);
      return 2;
    }
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  const Micros deadline = Now() + 10000000;
  while (reply.find('\n') == std::string::npos && reply.size() < 65536) {
    pollfd p{fd, POLLIN, 0};
    const Micros left = deadline - Now();
    if (left <= 0 || poll(&p, 1, static_cast<int>(left / 1000) + 1) <= 0) break;
    char buf[1024];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    reply.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  const std::size_t end = reply.find('\n');
  if (end == std::string::npos) {
    std::fprintf(stderr, "kv720-sim: no reply\n");
    return 2;
  }
  reply.resize(end);
  std::printf("%s\n", reply.c_str());
  return reply.compare(0, 2, "ok") == 0 ? 0 : 1;
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

struct Client {
  int fd;
  std::string in, out;
  bool closing = false;
};

class FrameLog {
 public:
  bool Open(const std::string& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
  }
  void Write(Micros t, bool in, const std::uint8_t* bytes, std::size_t count, bool garbage) {
    if (!file_) return;
    const std::string line = LogLine(t, in, bytes, count, garbage);
    std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
  }
  bool Clear() {
    if (path_.empty()) return true;
    if (file_) std::fclose(file_);
    file_ = std::fopen(path_.c_str(), "w");
    return file_ != nullptr;
  }
  ~FrameLog() {
    if (file_) std::fclose(file_);
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

struct Settings {
  std::string link, control, log;
  ControllerOptions controller;
  bool pacing = true;
  double delayMs = 2.0;
  double latencyMs = 0;
  std::vector<std::string> exec;
};

bool ParseNumber(const char* s, double lo, double hi, double& out) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(s, &end);
  if (errno || end == s || *end || !(v >= lo && v <= hi)) return false;
  out = v;
  return true;
}

// Returns -1 to go on, or an exit code.
int ParseArgs(int argc, char** argv, Settings& s) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kv720-sim: %s needs %s\n", a.c_str(), what);
        return nullptr;
      }
      return argv[++i];
    };
    auto number = [&](const char* what, double lo, double hi, double& out) {
      const char* v = value(what);
      if (!v) return false;
      if (!ParseNumber(v, lo, hi, out)) {
        std::fprintf(stderr, "kv720-sim: %s: bad %s '%s'\n", a.c_str(), what, v);
        return false;
      }
      return true;
    };
    double d = 0;
    if (a == "--help" || a == "-h") {
      PrintHelp();
      return 0;
    } else if (a == "--link" || a == "--control" || a == "--log" || a == "--exec") {
      const char* v = value("a value");
      if (!v) return 2;
      if (a == "--link") s.link = v;
      else if (a == "--control") s.control = v;
      else if (a == "--log") s.log = v;
      else s.exec.push_back(v);
    } else if (a == "--version") {
      if (!number("version", 1, 8, d)) return 2;
      s.controller.version = static_cast<int>(d);
    } else if (a == "--revision") {
      if (!number("revision", 0, 31, d)) return 2;
      s.controller.revision = static_cast<int>(d);
    } else if (a == "--delay") {
      if (!number("milliseconds", 0, 10000, s.delayMs)) return 2;
    } else if (a == "--latency") {
      if (!number("milliseconds", 0, 255, s.latencyMs)) return 2;
    } else if (a == "--no-pacing") {
      s.pacing = false;
    } else if (a == "--static") {
      s.controller.frozen = true;
    } else if (a == "--start-time") {
      if (!number("seconds", 0, 86400, s.controller.startSeconds)) return 2;
    } else if (a == "--learn-time") {
      if (!number("milliseconds", 0, 600000, d)) return 2;
      s.controller.learnDuration = static_cast<Micros>(d * 1000);
    } else if (a == "--learn-result") {
      const char* v = value("ok|fail|interrupted");
      if (!v) return 2;
      const std::string r = v;
      if (r == "ok") s.controller.learnResult = LearnResult::Ok;
      else if (r == "fail") s.controller.learnResult = LearnResult::Fail;
      else if (r == "interrupted") s.controller.learnResult = LearnResult::Interrupted;
      else {
        std::fprintf(stderr, "kv720-sim: --learn-result: ok, fail or interrupted\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "kv720-sim: unknown option %s (see --help)\n", a.c_str());
      return 2;
    }
  }
  return -1;
}

int OpenPty(std::string& slaveName, int& slave) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::fprintf(stderr, "kv720-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    return -1;
  }
  const char* name = ptsname(master);
  if (!name) return -1;
  slaveName = name;
  // Our own descriptor of the slave keeps the pty alive while the program closes and reopens it.
  slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) {
    std::fprintf(stderr, "kv720-sim: cannot open %s: %s\n", name, std::strerror(errno));
    return -1;
  }
  termios t{};
  if (tcgetattr(slave, &t) == 0) {
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= static_cast<tcflag_t>(~(IXON | IXOFF | IXANY));
    t.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL | ICANON | ISIG | IEXTEN));
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(slave, TCSANOW, &t);
  }
  SetNonBlocking(master);
  return master;
}

bool MakeLink(const std::string& link, const std::string& target) {
  struct stat st{};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      std::fprintf(stderr, "kv720-sim: %s exists and is not a symlink\n", link.c_str());
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    std::fprintf(stderr, "kv720-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
  char buf[256];
  const ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
  if (n < 0) return;
  buf[n] = '\0';
  if (target == buf) unlink(link.c_str());  // only our own link, not a newer simulator's
}

int Listen(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) {
    std::fprintf(stderr, "kv720-sim: control socket path too long\n");
    return -1;
  }
  std::strcpy(addr.sun_path, path.c_str());
  struct stat st{};
  if (lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      std::fprintf(stderr, "kv720-sim: %s exists and is not a socket\n", path.c_str());
      return -1;
    }
    unlink(path.c_str());
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(fd, 8) != 0) {
    std::fprintf(stderr, "kv720-sim: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
    if (fd >= 0) close(fd);
    return -1;
  }
  SetNonBlocking(fd);
  return fd;
}

constexpr std::size_t kMaxClients = 16;
constexpr std::size_t kMaxLine = 4096;

// What the simulator's loop serves: the pty's master side with its parser and paced output,
// the control socket and its clients, and the frame log.
struct Loop {
  Loop(Controller& c, Host& h, FrameLog& l) : controller(c), host(h), log(l) {}
  Controller& controller;
  Host& host;
  FrameLog& log;
  int master = -1, listener = -1;
  FrameParser parser;
  LineOut line;
  std::vector<std::unique_ptr<Client>> clients;
  std::vector<Received> received;
  bool masterWritable = true;
  Micros masterQuietUntil = 0;  // back-off after a hangup or read error on the master
};

void InstallSignals() {
  SetNonBlocking(signalPipe[0]);
  SetNonBlocking(signalPipe[1]);
  struct sigaction sa{};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

// The --exec commands, before the pty opens; false (and the reason on stderr) at the first
// that fails.
bool RunStartCommands(const Settings& settings, Controller& controller, Host& host) {
  for (const std::string& cmd : settings.exec) {
    const std::string reply = RunControl(controller, host, cmd, Now());
    if (reply.compare(0, 2, "ok") != 0) {
      std::fprintf(stderr, "kv720-sim: --exec '%s': %s\n", cmd.c_str(), reply.c_str());
      return false;
    }
  }
  return true;
}

// When the loop must look again at the latest: the next paced byte, the parser's frame timeout,
// the end of a back-off, or 200 ms.
Micros Wake(const Loop& loop, Micros now) {
  Micros wake = now + 200000;
  if (!loop.line.empty())
    wake = std::min(wake, loop.masterWritable ? loop.line.nextDue() : now + 10000);
  if (loop.parser.deadline() >= 0) wake = std::min(wake, loop.parser.deadline() + 1);
  if (loop.masterQuietUntil > now) wake = std::min(wake, loop.masterQuietUntil);
  return wake;
}

// The signal pipe first, the master second, the listener, then one entry per client.
std::vector<pollfd> PollSet(const Loop& loop, Micros now) {
  std::vector<pollfd> fds;
  fds.push_back({signalPipe[0], POLLIN, 0});
  short masterEvents = loop.masterQuietUntil <= now ? POLLIN : 0;
  if (!loop.line.empty() && !loop.masterWritable) masterEvents |= POLLOUT;
  fds.push_back({loop.master, masterEvents, 0});
  if (loop.listener >= 0) fds.push_back({loop.listener, POLLIN, 0});
  for (const auto& c : loop.clients)
    fds.push_back({c->fd, static_cast<short>(POLLIN | (c->out.empty() ? 0 : POLLOUT)), 0});
  return fds;
}

// Each frame the program sent, logged and answered through the paced line.
void Answer(Loop& loop, Micros now) {
  for (const Received& r : loop.received) {
    loop.log.Write(now, true, r.bytes.data(), r.bytes.size(), r.garbage);
    if (r.garbage) continue;
    Frame frame{};
    std::copy(r.bytes.begin(), r.bytes.end(), frame.begin());
    const std::vector<std::uint8_t> reply = loop.controller.Handle(frame, now);
    if (reply.empty()) continue;
    loop.log.Write(now, false, reply.data(), reply.size(), false);
    if (!loop.line.Queue(reply, now, loop.host.pacing, loop.host.delay))
      std::fprintf(stderr, "kv720-sim: output queue full, reply dropped\n");
  }
}

// Incoming bytes from the program, and the frames the parser gives up waiting for.
void ReadMaster(Loop& loop, short revents, Micros now) {
  if (revents & POLLIN) {
    std::uint8_t buf[4096];
    const ssize_t n = read(loop.master, buf, sizeof buf);
    if (n > 0) {
      loop.received.clear();
      loop.parser.Feed(buf, static_cast<std::size_t>(n), now, loop.received);
      Answer(loop, now);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      loop.masterQuietUntil = now + 50000;
    }
  } else if (revents & (POLLHUP | POLLERR)) {
    loop.masterQuietUntil = now + 50000;
  }
  if (revents & POLLOUT) loop.masterWritable = true;
  loop.received.clear();
  loop.parser.Expire(now, loop.received);
  for (const Received& r : loop.received)
    loop.log.Write(now, true, r.bytes.data(), r.bytes.size(), true);
}

// Outgoing bytes that are due.
void WriteMaster(Loop& loop, Micros now) {
  if (!loop.masterWritable) return;
  const std::size_t due = loop.line.Due(now);
  if (due == 0) return;
  std::uint8_t buf[LineOut::kCapacity];
  const std::size_t count = loop.line.Peek(buf, due);
  const ssize_t n = write(loop.master, buf, count);
  if (n > 0) loop.line.Consume(static_cast<std::size_t>(n));
  else if (n < 0 && errno == EAGAIN) loop.masterWritable = false;
  else if (n < 0 && errno != EINTR) loop.line.Consume(count);  // the line is gone; drop them
}

void AcceptClient(Loop& loop) {
  const int fd = accept(loop.listener, nullptr, nullptr);
  if (fd < 0) return;
  if (loop.clients.size() >= kMaxClients) {
    close(fd);
    return;
  }
  SetNonBlocking(fd);
  loop.clients.push_back(std::make_unique<Client>(Client{fd, {}, {}, false}));
}

// A control client: its command lines run as they complete, their replies go back.
void ServeClient(Loop& loop, Client& c, short revents, Micros now) {
  if (revents & POLLIN) {
    char buf[1024];
    const ssize_t n = read(c.fd, buf, sizeof buf);
    if (n <= 0) {
      if (n == 0 || (errno != EAGAIN && errno != EINTR)) c.closing = true;
    } else {
      c.in.append(buf, static_cast<std::size_t>(n));
      std::size_t end;
      while ((end = c.in.find('\n')) != std::string::npos) {
        const std::string cmd = c.in.substr(0, end);
        c.in.erase(0, end + 1);
        c.out += RunControl(loop.controller, loop.host, cmd, now) + "\n";
      }
      if (c.in.size() > kMaxLine) {
        c.out += "error line too long\n";
        c.in.clear();
        c.closing = true;
      }
    }
  } else if (revents & (POLLHUP | POLLERR)) {
    c.closing = true;
  }
  if (!c.out.empty()) {
    const ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    if (n > 0) c.out.erase(0, static_cast<std::size_t>(n));
    else if (n < 0 && errno != EAGAIN && errno != EINTR) c.out.clear(), c.closing = true;
  }
  if (c.out.size() > 1 << 20) c.closing = true;  // a client that never reads
}

void DropClosedClients(Loop& loop) {
  auto& clients = loop.clients;
  for (std::size_t i = 0; i < clients.size();) {
    if (clients[i]->closing && (clients[i]->out.empty() || loop.host.quit)) {
      close(clients[i]->fd);
      clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

// One turn of the loop; false when a signal ends the simulator or the wait fails.
bool Turn(Loop& loop) {
  Micros now = Now();
  std::vector<pollfd> fds = PollSet(loop, now);
  const std::size_t firstClient = loop.listener >= 0 ? 3 : 2;
  const Micros waitUs = std::max<Micros>(0, Wake(loop, now) - now);
  // ppoll keeps microsecond deadlines: a millisecond poll would put every paced byte up to
  // a millisecond late and make the line look slower than 9600 baud.
  const timespec wait{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
  const int ready = ppoll(fds.data(), fds.size(), &wait, nullptr);
  if (ready < 0 && errno != EINTR) return false;
  now = Now();
  if (fds[0].revents & POLLIN) {
    char buf[16];
    while (read(signalPipe[0], buf, sizeof buf) > 0) {
    }
    loop.host.quit = true;
    return false;
  }
  ReadMaster(loop, fds[1].revents, now);
  WriteMaster(loop, now);
  if (loop.listener >= 0 && (fds[2].revents & POLLIN)) AcceptClient(loop);
  for (std::size_t i = 0; i < loop.clients.size() && firstClient + i < fds.size(); ++i)
    ServeClient(loop, *loop.clients[i], fds[firstClient + i].revents, now);
  if (loop.host.latency != loop.line.latency()) loop.line.SetLatency(loop.host.latency, now);
  DropClosedClients(loop);
  loop.controller.Tick(now);
  return true;
}

// Lets the last replies (e.g. the ack of `quit`) reach their readers, then closes everything.
void Shutdown(Loop& loop, const Settings& settings, const std::string& slaveName, int slave) {
  for (const auto& c : loop.clients) {
    if (!c->out.empty()) [[maybe_unused]] ssize_t r = send(c->fd, c->out.data(), c->out.size(), MSG_NOSIGNAL);
    close(c->fd);
  }
  if (!settings.link.empty()) RemoveLink(settings.link, slaveName);
  if (loop.listener >= 0) {
    close(loop.listener);
    unlink(settings.control.c_str());
  }
  close(loop.master);
  close(slave);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--ctl") == 0) {
    if (argc < 4) {
      std::fprintf(stderr, "usage: kv720-sim --ctl SOCKET COMMAND...\n");
      return 2;
    }
    return ClientMode(argv[2], argc - 3, argv + 3);
  }
  Settings settings;
  const int parsed = ParseArgs(argc, argv, settings);
  if (parsed >= 0) return parsed;

  if (pipe(signalPipe) != 0) return 1;
  InstallSignals();

  Controller controller(Now(), settings.controller);
  FrameLog log;
  if (!settings.log.empty() && !log.Open(settings.log)) {
    std::fprintf(stderr, "kv720-sim: cannot write %s: %s\n", settings.log.c_str(), std::strerror(errno));
    return 1;
  }
  Host host;
  host.pacing = settings.pacing;
  host.delay = static_cast<Micros>(settings.delayMs * 1000);
  host.latency = static_cast<Micros>(settings.latencyMs * 1000);
  host.clearLog = [&log] { return log.Clear(); };
  if (!RunStartCommands(settings, controller, host)) return 2;

  std::string slaveName;
  int slave = -1;
  Loop loop(controller, host, log);
  loop.master = OpenPty(slaveName, slave);
  if (loop.master < 0) return 1;
  if (!settings.control.empty() && (loop.listener = Listen(settings.control)) < 0) return 1;
  if (!settings.link.empty() && !MakeLink(settings.link, slaveName)) {
    if (loop.listener >= 0) unlink(settings.control.c_str());
    return 1;
  }
  std::printf("kv720-sim ready pty=%s\n", slaveName.c_str());
  std::fflush(stdout);

  loop.line.SetLatency(host.latency, Now());
  while (!host.quit && Turn(loop)) {
  }
  Shutdown(loop, settings, slaveName, slave);
  return 0;
}
