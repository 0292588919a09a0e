// A small scripted controller for the configuration tests: it answers identification with
// version 3, serves Blocks 2..5 from its own memory and applies acknowledged writes to it, so a
// test can pick an item and see the value come back at the next poll.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fake_controls.h"
#include "fake_port.h"
#include "link/link.h"
#include "shell/program.h"

namespace kv::testing {

struct TestController {
  std::array<std::array<std::uint8_t, kMaxBlockLength>, kBlockCount + 1> memory{};
  std::uint8_t identity = 0x45;  // version 3, revision 5
  bool answers = true;

  void Set(ByteRef ref, std::uint8_t value) { memory[ref.block][ref.index] = value; }

  static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
    auto& c = *static_cast<TestController*>(self);
    if (!c.answers || frame.size() != 4 || frame[0] != kMarker) return {};
    if (frame[1] == frame[2] && frame[1] >= 1 && frame[1] <= kBlockCount) {
      const int block = frame[1];
      if (block == 1) return Frame({0x10, c.identity});
      std::vector<std::uint8_t> payload(c.memory[block].begin() + 1,
                                        c.memory[block].begin() + BlockLength(block) - 1);
      return Frame(payload);
    }
    // A write (wire addresses start at 6): the controller echoes and stores.
    if (frame[1] <= kBlockCount) return {};
    const ByteRef target = WriteTarget(frame[1] - 1);
    if (target.block != 0) c.memory[target.block][target.index] = frame[2];
    return {frame[0], frame[1], frame[2]};
  }
};

// A program wired to a fake port answered by a TestController.
struct ConfigurationRig {
  FakePort port;
  TestController controller;
  Program program;
  FakeControls controls;

  ConfigurationRig() {
    program.link.port = &port;
    port.responder = &TestController::Respond;
    port.responderContext = &controller;
  }

  std::vector<std::pair<int, int>> Writes() const { return port.Writes(); }
  std::vector<std::string> Frames() const { return port.Frames(); }
};

}  // namespace kv::testing
