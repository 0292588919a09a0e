// A made-up machine for the command line's unit tests: a fake port answered by the scripted
// controller (every setting a value of its own), a fixed clock, and the platform's answers.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "fake_port.h"
#include "files/file_store.h"
#include "link/link.h"
#include "link/parameters.h"
#include "platform.h"
#include "scripted_controller.h"

namespace kv::testing {

class FakeCliPlatform final : public cli::Platform {
 public:
  FakePort port;
  SystemFileStore files;
  ScriptedController controller;
  cli::PortProblem problem;  // what DiagnoseOpen reports; None lets the port open
  std::vector<cli::PortEntry> ports;
  cli::AdapterInfo adapter;          // what DescribeAdapter tells
  cli::LatencyResult latencyResult;  // what SetLatencyTimer answers
  std::vector<int> latencySets;      // the values SetLatencyTimer was asked for
  std::string backups = "backups";
  bool interrupted = false;
  bool holding = false, fineClock = false;
  int holds = 0, fineClocks = 0;  // times each was turned on
  std::string typed;  // keys the next TypedKeys() hands over

  FakeCliPlatform() {
    controller.identityHead = 0x01;
    controller.FillDistinct();
    port.responder = &ScriptedController::Respond;
    port.responderContext = &controller;
  }

  FileStore& Files() override { return files; }
  SerialPort& Port() override {
    port.openSucceeds = problem.trouble == cli::PortTrouble::None;
    return port;
  }
  std::string DeviceName(const std::string& name) const override { return "dev:" + name; }
  cli::PortProblem DiagnoseOpen(const std::string&) override { return problem; }
  std::vector<cli::PortEntry> ListPorts() override { return ports; }
  cli::AdapterInfo DescribeAdapter(const std::string&) override { return adapter; }
  cli::LatencyResult SetLatencyTimer(const std::string&, int milliseconds) override {
    latencySets.push_back(milliseconds);
    if (latencyResult.change == cli::LatencyChange::Done) adapter.latencyMs = milliseconds;
    return latencyResult;
  }
  bool Interrupted() const override { return interrupted; }
  void HoldInterrupts(bool hold) override {
    holds += hold && !holding;
    holding = hold;
  }
  void FineClock(bool on) override {
    fineClocks += on && !fineClock;
    fineClock = on;
  }
  cli::LocalTime Now() const override { return {2024, 5, 1, 14, 3, 22}; }
  std::string DefaultBackupFolder() const override { return backups; }
  bool OutputIsTerminal() const override { return false; }
  bool ErrorsAreTerminal() const override { return false; }
  std::string TypedKeys() override {
    std::string keys;
    keys.swap(typed);
    return keys;
  }
  std::FILE* CreateRecording(const std::string& path, bool replace) override {
    return std::fopen(path.c_str(), replace ? "wb" : "wbx");
  }
  bool SyncRecording(std::FILE* file) override { return std::fflush(file) == 0; }

  std::vector<std::pair<int, int>> Writes() const { return port.Writes(); }
};

// One run of the command line on the fake machine.
struct CliRun {
  int code = -1;
  std::string out, err;
};

inline CliRun RunOn(FakeCliPlatform& platform, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CliRun run;
  run.code = cli::RunCli(args, "", platform, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace kv::testing
