// The options tests' controller: the configuration tests' scripted controller, plus command 52
// (factory switching points of the gas level sensor) and a switch that keeps it silent for the
// frames right after a command.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/controls.h"  // the notification codes
#include "configuration_test_controller.h"
#include "link/parameters.h"
#include "recording_canvas.h"

namespace kv::testing {

struct OptionsRig : ConfigurationRig {
  std::array<std::uint8_t, 4> factoryPoints{40, 90, 140, 190};
  int silentAfterCommand = 0;  // frames left unanswered after the next command
  int silentFrames = 0;
  RecordingCanvas canvas;

  OptionsRig() {
    for (int n = 0; n < kLanguageTextCount; ++n) program.texts.text[n] = "text " + std::to_string(n);
    port.responder = &Respond;
    port.responderContext = this;
  }

  void Set(Param p, std::uint8_t value) { controller.Set(Row(p).byte, value); }
  std::uint8_t Held(Param p) const {
    const ByteRef ref = Row(p).byte;
    return controller.memory[ref.block][ref.index];
  }

  static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
    auto& rig = *static_cast<OptionsRig*>(self);
    if (rig.silentFrames > 0) {
      --rig.silentFrames;
      return {};
    }
    auto reply = TestController::Respond(frame, &rig.controller);
    const bool command = frame.size() == 4 && frame[1] == kCommandAddress + 1 && !reply.empty();
    if (command && frame[2] == kCommandGasSensorDefaults) {
      const Param points[4] = {Param::Prog1, Param::Prog2, Param::Prog3, Param::Prog4};
      for (std::size_t k = 0; k < 4; ++k) rig.Set(points[k], rig.factoryPoints[k]);
    }
    if (command) rig.silentFrames = std::exchange(rig.silentAfterCommand, 0);
    return reply;
  }
};

}  // namespace kv::testing
