#include "link/serial_port_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReadConstantMs = 100, kReadPerByteMs = 10, kReadGapMs = 50;
constexpr int kWriteConstantMs = 100, kWritePerByteMs = 10;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool PosixSerialPort::Open(const std::string& name) {
  Close();
  const auto mapped = devices.find(name);
  const std::string path = mapped != devices.end() ? mapped->second : name;
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  ::ioctl(fd_, TIOCEXCL);  // exclusive, as the Windows open is; ignored where unsupported

  termios tio{};
  if (::tcgetattr(fd_, &tio) == 0) {
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSTOPB | PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(fd_, TCSANOW, &tio);  // failures to apply settings are ignored, as on Windows
  }
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd_, TIOCMBIC, &lines);  // a pseudo-terminal has no modem lines; that is fine
  return true;
}

void PosixSerialPort::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::uint32_t PosixSerialPort::Write(const std::uint8_t* data, std::uint32_t count) {
  if (fd_ < 0) return 0;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(kWriteConstantMs + kWritePerByteMs * count);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, data + done, count - done);
    if (n > 0) {
      done += static_cast<std::uint32_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) break;
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, left);
  }
  return done;
}

std::uint32_t PosixSerialPort::Read(std::uint8_t* data, std::uint32_t count) {
  if (fd_ < 0) return 0;  // like a read on an invalid handle: fails at once
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(kReadConstantMs + kReadPerByteMs * count);
  std::uint32_t done = 0;
  while (done < count) {
    int wait = MillisecondsLeft(deadline);
    if (wait == 0) break;
    if (done > 0 && wait > kReadGapMs) wait = kReadGapMs;  // the gap rule starts at the first byte
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      if (done > 0 || MillisecondsLeft(deadline) == 0) break;
      continue;
    }
    if (p.revents & (POLLERR | POLLNVAL)) break;
    const ssize_t n = ::read(fd_, data + done, count - done);
    if (n > 0) {
      done += static_cast<std::uint32_t>(n);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      // Hang-up (the peer went away): nothing more will come; wait out the timeout as a real
      // line would, so callers see the same timing.
      std::this_thread::sleep_for(std::chrono::milliseconds(MillisecondsLeft(deadline)));
      break;
    }
  }
  return done;
}

void PosixSerialPort::PurgeReceive() {
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

void PosixSerialPort::PurgeTransmit() {
  if (fd_ >= 0) ::tcflush(fd_, TCOFLUSH);
}

void PosixSerialPort::Pause(int milliseconds) {
  if (milliseconds <= 0) {
    ::sched_yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace kv
