// Frames on the diagnostic line: 4-byte requests and write commands from the service program,
// replies and acknowledgements from the controller. Every frame starts with the marker 0x65; the
// last byte of a request or reply is the low 8 bits of the sum of the bytes before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv::sim {

using Micros = std::int64_t;  // time on the simulator's clock, microseconds

inline constexpr std::uint8_t kMarker = 0x65;
inline constexpr std::size_t kRequestLength = 4;

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count);

using Frame = std::array<std::uint8_t, kRequestLength>;

// One thing the receiver made of the incoming bytes, in arrival order.
struct Received {
  bool garbage = false;             // bytes dropped while hunting for a frame
  std::vector<std::uint8_t> bytes;  // the frame (4 bytes) or the dropped bytes
};

// Splits the incoming byte stream into valid 4-byte frames. It never buffers more than one frame:
// a byte that cannot start a frame is dropped, a 4-byte candidate whose checksum fails gives up
// its first byte and the scan resumes at the next marker. A partial frame that waits longer than
// the gap limit is dropped too, like a receiver whose inter-byte timer ran out.
class FrameParser {
 public:
  explicit FrameParser(Micros gapLimit = 200000) : gapLimit_(gapLimit) {}

  // Feeds bytes that arrived at `now`; appends what they completed to `out`.
  void Feed(const std::uint8_t* data, std::size_t count, Micros now, std::vector<Received>& out);
  // Drops a stale partial frame; call it from the idle loop too.
  void Expire(Micros now, std::vector<Received>& out);

  std::size_t pending() const { return length_; }
  // Time at which a pending partial frame goes stale; -1 when nothing is pending.
  Micros deadline() const { return length_ ? last_ + gapLimit_ : -1; }

 private:
  void Push(std::uint8_t byte, std::vector<Received>& out);
  static void Drop(std::uint8_t byte, std::vector<Received>& out);

  Micros gapLimit_;
  Frame buffer_{};
  std::size_t length_ = 0;
  Micros last_ = 0;
};

}  // namespace kv::sim
