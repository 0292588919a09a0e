// The controller link: the five fixed read requests, the one-byte write command, the
// online/offline state and the memory image they fill. Every call blocks for its exchange.
#pragma once

#include <array>
#include <initializer_list>
#include <cstdint>
#include <string>

#include "link/memory_image.h"
#include "link/serial_port.h"

namespace kv {

inline constexpr int kOnlinePollPeriod = 50;
inline constexpr int kOfflinePollPeriod = 500;
inline constexpr int kMissesToOffline = 3;

struct Link {
  SerialPort* port = nullptr;  // not owned
  std::string portName = "COM1:";
  bool portOpen = false;  // an open was attempted and the port not closed since; even if it failed
  bool offline = true;
  int missCount = 0;
  int pollPeriod = kOnlinePollPeriod;
  std::uint32_t lastTransferCount = 0;
  std::array<std::uint8_t, 3> lastAck{};
  MemoryImage image;
};

// Sends the identification request and runs the online/offline logic.
void Identify(Link& link);
// Identify; whether the controller can be read now (online at version 3).
bool IdentifyForReading(Link& link);
// Sends request n (2..5); an accepted reply replaces Block n. Returns whether it was accepted.
bool ReadBlock(Link& link, int block);

// Blocks 2..5 read together: bit n stands for Block n.
using BlockSet = unsigned;
constexpr BlockSet Blocks(std::initializer_list<int> blocks) {
  BlockSet set = 0;
  for (int block : blocks) set |= 1u << block;
  return set;
}
// ReadBlock each block of `blocks` in ascending order, every one of them even after a refusal;
// whether all were accepted (a refused block still holds older bytes).
bool ReadBlocks(Link& link, BlockSet blocks);
// The live readings' blocks for one online tick, counted in `blockTicks`: Block 2 every tick,
// Blocks 3 and 4 every fourth.
BlockSet ReadingsBlocks(unsigned& blockTicks);
// Sends one write command (address 5..49 as the program numbers them; the wire carries one more)
// and returns the number of acknowledgement bytes received, 3 when the controller answered.
// Sends nothing and returns 0 unless the controller in the image is version 3.
std::uint32_t WriteByte(Link& link, std::uint8_t address, std::uint8_t value);
void ClosePort(Link& link);
void SetPollPeriod(Link& link, int period);

// Frame helpers, shared with the tests.
std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count);
std::array<std::uint8_t, 4> ReadRequest(int block);
std::array<std::uint8_t, 4> WriteFrame(std::uint8_t address, std::uint8_t value);

}  // namespace kv
