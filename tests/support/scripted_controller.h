// A scripted controller behind a FakePort: it identifies as version 3, serves Blocks 2..5 from
// its memory, stores acknowledged writes and echoes their value in ack byte 1, with switches for
// the faults the program must survive. A PanelRig wires it to a whole program.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fake_controls.h"
#include "fake_port.h"
#include "link/link.h"
#include "link/parameters.h"
#include "recording_canvas.h"
#include "shell/program.h"

namespace kv::testing {

struct ScriptedController {
  std::array<std::array<std::uint8_t, kMaxBlockLength>, kBlockCount + 1> memory{};
  std::uint8_t identity = 0x45;        // version 3, revision 5
  std::uint8_t identityHead = 0x10;    // the identification reply's first payload byte
  bool answers = true;                 // false: silent to every frame
  std::vector<int> silentBlocks;       // read requests of these blocks get no reply
  int badChecksumBlock = 0;            // this block's replies carry a bad checksum
  int badChecksumAfterReset = 0;       // ... once the factory reset command came
  int acknowledgedWrites = -1;         // writes still stored and acknowledged; -1: all
  bool wrongEcho = false;              // every acknowledgement echoes another value
  int wrongEchoAtWrite = 0;            // this write (counted from 1) is stored, echoed wrong
  bool adapterEcho = false;            // the adapter sends each frame back before the reply
  int silentAfterCommand = 0;          // frames left unanswered after the next command
  std::vector<std::pair<int, std::uint8_t>> factory;  // (write address, value) command 51 restores
  std::array<std::uint8_t, 4> gasSensorDefaults{40, 90, 140, 190};  // Prog1..4 command 52 sets
  std::function<void(const std::vector<std::uint8_t>& frame)> onFrame;  // a test's hook, first
  bool resetSeen = false;
  int writes = 0;  // write commands received

  // Every setting a value of its own (10 + its write address), so a test sees which went where.
  void FillDistinct() {
    for (const ParameterRow& row : kParameters)
      Set(row.param, static_cast<std::uint8_t>(10 + row.writeAddress));
  }
  void Set(ByteRef ref, std::uint8_t value) { memory[ref.block][ref.index] = value; }
  void Set(Param p, std::uint8_t value) { Set(Row(p).byte, value); }
  std::uint8_t Get(Param p) const { return memory[Row(p).byte.block][Row(p).byte.index]; }

  static std::vector<std::uint8_t> Respond(const std::vector<std::uint8_t>& frame, void* self) {
    auto& c = *static_cast<ScriptedController*>(self);
    if (c.onFrame) c.onFrame(frame);
    std::vector<std::uint8_t> out;
    if (c.adapterEcho) out = frame;
    const auto reply = c.Answer(frame);
    out.insert(out.end(), reply.begin(), reply.end());
    return out;
  }

  std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t>& frame) {
    if (!answers || frame.size() != 4 || frame[0] != kMarker) return {};
    if (silentFrames_ > 0) {
      --silentFrames_;
      return {};
    }
    if (frame[1] == frame[2] && frame[1] >= 1 && frame[1] <= kBlockCount) return Read(frame[1]);
    if (frame[1] <= kBlockCount) return {};
    return Write(frame[1] - 1, frame[2]);
  }

 private:
  int silentFrames_ = 0;

  std::vector<std::uint8_t> Read(int block) {
    for (int silent : silentBlocks)
      if (silent == block) return {};
    const auto& bytes = memory[block];
    auto reply = block == 1 ? Frame({identityHead, identity})
                            : Frame({bytes.begin() + 1, bytes.begin() + BlockLength(block) - 1});
    if (block == badChecksumBlock || (resetSeen && block == badChecksumAfterReset)) ++reply.back();
    return reply;
  }

  std::vector<std::uint8_t> Write(int address, std::uint8_t value) {
    ++writes;
    if (acknowledgedWrites == 0) return {};
    if (acknowledgedWrites > 0) --acknowledgedWrites;
    const ByteRef target = WriteTarget(address);
    if (target.block != 0) memory[target.block][target.index] = value;
    if (address == kCommandAddress) Command(value);
    const bool wrong = wrongEcho || writes == wrongEchoAtWrite;
    const std::uint8_t echo = wrong ? static_cast<std::uint8_t>(~value) : value;
    return {kMarker, echo, static_cast<std::uint8_t>(kMarker + echo)};
  }

  void Command(std::uint8_t command) {
    if (command == kCommandFactoryReset) {
      resetSeen = true;
      for (const auto& [address, value] : factory) {
        const ByteRef target = WriteTarget(address);
        memory[target.block][target.index] = value;
      }
    }
    if (command == kCommandGasSensorDefaults) {
      const Param points[4] = {Param::Prog1, Param::Prog2, Param::Prog3, Param::Prog4};
      for (std::size_t k = 0; k < 4; ++k) Set(points[k], gasSensorDefaults[k]);
    }
    silentFrames_ = std::exchange(silentAfterCommand, 0);
  }
};

// Numbered texts ("text 7") in every language slot, so a test sees which text went where.
inline void NumberTexts(Program& program, const std::string& prefix = "text ") {
  for (int n = 0; n < kLanguageTextCount; ++n)
    program.texts.text[static_cast<std::size_t>(n)] = prefix + std::to_string(n);
}

// A program wired to a fake port answered by a ScriptedController, with fake controls, a
// recording canvas and numbered texts.
struct PanelRig {
  FakePort port;
  ScriptedController controller;
  Program program;
  FakeControls controls;
  RecordingCanvas canvas;

  PanelRig() {
    program.link.port = &port;
    port.responder = &ScriptedController::Respond;
    port.responderContext = &controller;
    NumberTexts(program);
  }

  void Set(Param p, std::uint8_t value) { controller.Set(p, value); }
  std::uint8_t Held(Param p) const { return controller.Get(p); }
  std::vector<std::pair<int, int>> Writes() const { return port.Writes(); }
  std::vector<std::string> Frames() const { return port.Frames(); }
};

}  // namespace kv::testing
