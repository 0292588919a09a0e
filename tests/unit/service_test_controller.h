// A scripted controller for the information dialog and reset panel tests: the configuration
// tests' controller (version 3, Blocks 2..5 from its memory, acknowledged writes stored) with the
// misbehaviour those two panels must survive, and a factory reset that changes its settings.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "configuration_test_controller.h"
#include "link/parameters.h"

namespace kv::testing {

struct ServiceController : TestController {
  int echoesLeft = -1;       // writes still acknowledged; at 0 writes get no answer; -1 always
  bool wrongEcho = false;    // acknowledgements echo the value with all bits flipped
  int rejectAfterReset = 0;  // this block's replies carry a bad checksum once command 51 came
  int rejectBlock = 0;       // this block's replies always carry a bad checksum
  bool resetSeen = false;
  // The settings command 51 restores (write address, value).
  std::vector<std::pair<int, std::uint8_t>> factory;

  static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
    auto& c = *static_cast<ServiceController*>(self);
    const bool write = frame.size() == 4 && frame[1] > kBlockCount;
    if (write) {
      if (c.echoesLeft == 0) return {};
      if (c.echoesLeft > 0) --c.echoesLeft;
      if (frame[1] - 1 == kCommandAddress && frame[2] == kCommandFactoryReset) c.FactoryReset();
    }
    auto reply = TestController::Respond(frame, self);
    if (write && c.wrongEcho && reply.size() == 3) reply[1] = static_cast<std::uint8_t>(~reply[1]);
    const bool rejected =
        (c.resetSeen && frame[1] == c.rejectAfterReset) || frame[1] == c.rejectBlock;
    if (!write && rejected && !reply.empty()) ++reply.back();
    return reply;
  }

  void FactoryReset() {
    resetSeen = true;
    for (const auto& [address, value] : factory) {
      const ByteRef target = WriteTarget(address);
      memory[target.block][target.index] = value;
    }
  }
};

// A program wired to a fake port answered by a ServiceController.
struct ServiceRig {
  FakePort port;
  ServiceController controller;
  Program program;
  FakeControls controls;

  ServiceRig() {
    program.link.port = &port;
    port.responder = &ServiceController::Respond;
    port.responderContext = &controller;
    for (int n = 0; n < kLanguageTextCount; ++n) program.texts.text[n] = "text " + std::to_string(n);
  }

  std::vector<std::pair<int, int>> Writes() const { return port.Writes(); }
  std::vector<std::string> Frames() const { return port.Frames(); }
};

}  // namespace kv::testing
