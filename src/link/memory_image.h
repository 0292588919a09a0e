// The program's copy of what the controller last reported: the identity reply (Block 1) and the
// four data blocks, each kept exactly as it arrived (marker and checksum included).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv {

inline constexpr int kBlockCount = 5;
inline constexpr std::size_t kMaxBlockLength = 21;
inline constexpr std::uint8_t kMarker = 0x65;

// Reply length of request n (1..5), which is also the size of Block n.
constexpr std::size_t BlockLength(int block) {
  constexpr std::size_t lengths[kBlockCount + 1] = {0, 4, 11, 14, 16, 21};
  return (block >= 1 && block <= kBlockCount) ? lengths[block] : 0;
}

struct MemoryImage {
  // blocks[n - 1] holds Block n; bytes past BlockLength(n) stay 0.
  std::array<std::array<std::uint8_t, kMaxBlockLength>, kBlockCount> blocks{};

  // Byte k of Block n; 0 for anything outside the blocks.
  std::uint8_t Byte(int block, std::size_t k) const {
    if (block < 1 || block > kBlockCount || k >= BlockLength(block)) return 0;
    return blocks[block - 1][k];
  }
  // Replaces Block n with BlockLength(n) bytes; only the link calls this, after a reply passed.
  void ReplaceBlock(int block, const std::uint8_t* bytes);
  void Clear() { blocks = {}; }
};

// Derived from Block 1 byte 2 on every call: its top three bits are the version less one, the
// other five the revision. An empty image gives version 1.
inline constexpr std::uint8_t kVersionBits = 0xE0, kRevisionBits = 0x1F;
inline int Version(const MemoryImage& image) { return ((image.Byte(1, 2) & kVersionBits) >> 5) + 1; }
inline int Revision(const MemoryImage& image) { return image.Byte(1, 2) & kRevisionBits; }

// The only controller version the program reads blocks from or writes to.
inline constexpr int kSupportedVersion = 3;
inline bool IsVersion3(const MemoryImage& image) { return Version(image) == kSupportedVersion; }

// Named bytes used across panels (block, byte).
struct ByteRef {
  int block;
  std::size_t index;
};
namespace bytes {
inline constexpr ByteRef Tps{2, 1}, Lambda{2, 2}, Actuator{2, 3}, AttInit{2, 4}, PeriodLo{2, 5},
    PeriodHi{2, 6}, Status{2, 7}, Switches{2, 8}, Temperature{2, 9};
inline constexpr ByteRef Options{3, 1}, LambdaType{3, 2}, LambdaPoint{3, 3}, LambdaDelay{3, 4},
    EmulType{3, 5}, EmulBJ_TimeHi{3, 6}, EmulBJ_TimeLo{3, 7}, WOZG{3, 8}, InjectDelay{3, 10},
    LPGOnTemp{3, 11}, TPSInert{3, 12};
inline constexpr ByteRef AttMax{4, 1}, AttMin{4, 2}, TPSJump{4, 3}, AttJump{4, 4},
    LPGOnRPMLo{4, 5}, LPGOnRPMHi{4, 6}, IgnitionType{4, 7}, CutOffRPMLo{4, 8}, CutOffRPMHi{4, 9},
    CutOffSteps{4, 10}, LPGOffRPMLo{4, 11}, LPGOffRPMHi{4, 12}, AttMax_BJ{4, 13},
    AttMin_BJ{4, 14};
inline constexpr ByteRef Prog1{5, 1}, Prog2{5, 2}, Prog3{5, 3}, Prog4{5, 4}, GasLevel{5, 5},
    ZAM_OTW_BJ{5, 6}, ZAM_OTW_DO{5, 7}, LpgMinutes{5, 8}, LpgHoursLo{5, 9}, LpgHoursHi{5, 10},
    InstallDateLo{5, 11}, InstallDateHi{5, 12}, Registration{5, 13};
}  // namespace bytes

inline std::uint8_t Get(const MemoryImage& image, ByteRef ref) {
  return image.Byte(ref.block, ref.index);
}

// The block byte a write address changes, or {0, 0} for the command address 30 and for
// addresses the program never writes.
ByteRef WriteTarget(int writeAddress);

// Write addresses with a special meaning.
inline constexpr int kCommandAddress = 30;
inline constexpr std::uint8_t kCommandLearn = 50, kCommandFactoryReset = 51,
                              kCommandGasSensorDefaults = 52;

}  // namespace kv
