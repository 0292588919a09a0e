// A made-up machine for the command line's unit tests: a fake port answered by a small
// controller (factory-like memory, version 3, writes acknowledged with the value echoed), a
// fixed clock, and switches for the faults a test needs.
#pragma once

#include <array>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "fake_port.h"
#include "link/link.h"
#include "link/parameters.h"
#include "platform.h"
#include "shell/file_store.h"

namespace kv::testing {

struct CliController {
  std::array<std::array<std::uint8_t, kMaxBlockLength>, kBlockCount + 1> memory{};
  std::uint8_t identity = 0x45;  // version 3, revision 5
  bool answers = true;
  bool adapterEcho = false;     // the request comes back before the reply
  int acknowledgedWrites = -1;  // writes still answered; -1 for all
  bool wrongEcho = false;       // acknowledgement byte 1 is the value with its bits flipped
  std::vector<int> silentBlocks;

  CliController() {
    for (const ParameterRow& row : kParameters)
      Set(row.param, static_cast<std::uint8_t>(10 + row.writeAddress));
  }
  void Set(Param p, std::uint8_t value) { memory[Row(p).byte.block][Row(p).byte.index] = value; }
  std::uint8_t Get(Param p) const { return memory[Row(p).byte.block][Row(p).byte.index]; }

  std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t>& frame) {
    if (!answers || frame.size() != 4 || frame[0] != kMarker) return {};
    if (frame[1] == frame[2] && frame[1] >= 1 && frame[1] <= kBlockCount) {
      const int block = frame[1];
      for (int silent : silentBlocks)
        if (silent == block) return {};
      if (block == 1) return Frame({0x01, identity});
      return Frame(std::vector<std::uint8_t>(memory[block].begin() + 1,
                                             memory[block].begin() + BlockLength(block) - 1));
    }
    if (acknowledgedWrites == 0) return {};
    if (acknowledgedWrites > 0) --acknowledgedWrites;
    if (const ParameterRow* row = RowByWriteAddress(frame[1] - 1))
      memory[row->byte.block][row->byte.index] = frame[2];
    const std::uint8_t echo = wrongEcho ? static_cast<std::uint8_t>(~frame[2]) : frame[2];
    return {kMarker, echo, static_cast<std::uint8_t>(kMarker + echo)};
  }

  static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
    auto& c = *static_cast<CliController*>(self);
    std::vector<std::uint8_t> out;
    if (c.adapterEcho) out = frame;
    const auto reply = c.Answer(frame);
    out.insert(out.end(), reply.begin(), reply.end());
    return out;
  }
};

class FakeCliPlatform final : public cli::Platform {
 public:
  FakePort port;
  SystemFileStore files;
  CliController controller;
  cli::PortProblem problem;  // what DiagnoseOpen reports; None lets the port open
  std::vector<cli::PortEntry> ports;
  std::string backups = "backups";
  bool interrupted = false;
  bool holding = false, fineClock = false;
  int holds = 0, fineClocks = 0;  // times each was turned on

  FakeCliPlatform() {
    port.responder = &CliController::Respond;
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

  // The write commands sent, as (write address, value).
  std::vector<std::pair<int, int>> Writes() const {
    std::vector<std::pair<int, int>> out;
    for (const auto& f : port.written)
      if (f.size() == 4 && !(f[1] == f[2] && f[1] <= kBlockCount)) out.emplace_back(f[1] - 1, f[2]);
    return out;
  }
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
