// Runs kv720-sim in the background for a test or benchmark: a pseudo-terminal behind a stable
// link, a control socket and a frame log in a fresh folder; stopped when the object goes away.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace kv::testing {

class SimProcess {
 public:
  // Extra arguments are passed on, e.g. {"--static", "--no-pacing"}.
  explicit SimProcess(std::vector<std::string> extra = {}) {
    char pattern[] = "/tmp/kv720-sim-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    link_ = folder_ + "/com1";
    control_ = folder_ + "/control";
    log_ = folder_ + "/frames.log";
    std::vector<std::string> args{KV720_SIM_PATH, "--link",    link_, "--control",
                                  control_,       "--log",     log_};
    args.insert(args.end(), extra.begin(), extra.end());
    pid_ = ::fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    // Wait for the link and the control socket to appear.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (std::filesystem::exists(link_) && std::filesystem::exists(control_)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Ready() const { return std::filesystem::exists(link_); }
  const std::string& Link() const { return link_; }

  // Sends one control command through the simulator's own client mode; returns its reply line.
  std::string Control(const std::string& command) const {
    const std::string line =
        std::string(KV720_SIM_PATH) + " --ctl " + control_ + " " + command + " 2>&1";
    std::string reply;
    if (FILE* p = ::popen(line.c_str(), "r")) {
      char buffer[4096];
      while (std::fgets(buffer, sizeof buffer, p)) reply += buffer;
      ::pclose(p);
    }
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
    return reply;
  }

  // Lines of the frame log whose direction is "in" (what the program sent), as hex text.
  std::vector<std::string> Sent() const { return Frames("in"); }
  std::vector<std::string> Answered() const { return Frames("out"); }

 private:
  std::vector<std::string> Frames(const std::string& direction) const {
    std::vector<std::string> out;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string time, dir;
      fields >> time >> dir;
      if (dir != direction) continue;
      std::string rest;
      std::getline(fields, rest);
      const auto start = rest.find_first_not_of(' ');
      out.push_back(start == std::string::npos ? std::string() : rest.substr(start));
    }
    return out;
  }

  std::string folder_, link_, control_, log_;
  pid_t pid_ = -1;
};

}  // namespace kv::testing
