// The controller's own memory as the simulator keeps it: the five blocks it answers with, the
// write-address map that the write command goes through, and the factory settings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv::sim {

inline constexpr int kBlockCount = 5;
inline constexpr std::size_t kMaxBlockLength = 21;

// Reply length of request n (1..5); 0 for anything else.
constexpr std::size_t BlockLength(int block) {
  constexpr std::size_t lengths[kBlockCount + 1] = {0, 4, 11, 14, 16, 21};
  return (block >= 1 && block <= kBlockCount) ? lengths[block] : 0;
}

// Payload bytes are 1 .. length-2; byte 0 (marker) and the last byte (checksum) are made when
// a block is sent, so the stored copies of those two are never used.
constexpr bool IsPayloadByte(int block, int index) {
  return index >= 1 && static_cast<std::size_t>(index) + 1 < BlockLength(block);
}

struct Memory {
  std::array<std::array<std::uint8_t, kMaxBlockLength>, kBlockCount + 1> block{};  // [0] unused
  // Live bytes that a `set` pinned: the car model leaves them alone until they are unpinned.
  std::array<std::array<bool, kMaxBlockLength>, kBlockCount + 1> pinned{};

  std::uint8_t& at(int b, int k) { return block[b][k]; }
  std::uint8_t at(int b, int k) const { return block[b][k]; }
};

// Bytes the car model writes on its own (readings, gas level, running-time counter).
bool IsLiveByte(int block, int index);

// What a write address (the wire address minus one) changes.
struct WriteTarget {
  enum Kind { Unknown, Byte, Command } kind = Unknown;
  int block = 0;
  int index = 0;
};
WriteTarget TargetOf(int writeAddress);

// Command values sent to write address 30.
inline constexpr int kCommandAddress = 30;
inline constexpr std::uint8_t kCommandLearn = 50;
inline constexpr std::uint8_t kCommandFactoryReset = 51;
inline constexpr std::uint8_t kCommandGasLevelFactory = 52;

// One factory setting: restored by command 51 (the Prog bytes also by command 52).
struct FactorySetting {
  int block;
  int index;
  int writeAddress;
  const char* name;
  std::uint8_t value;
  const char* meaning;
};
const FactorySetting* FactorySettings(std::size_t& count);

// Factory settings plus the service record a new simulator starts with.
void LoadFactoryMemory(Memory& memory, int version, int revision);
void RestoreFactorySettings(Memory& memory);
void RestoreFactoryGasLevelPoints(Memory& memory);

// Block 1 byte 2: version (1..8) in bits 7..5 (minus one), revision (0..31) in bits 4..0.
std::uint8_t IdentityByte(int version, int revision);

}  // namespace kv::sim
