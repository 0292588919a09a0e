// The outgoing side of the 9600-baud line: replies leave one byte every 1.04 ms (10 bits a byte),
// after the request's own four bytes would have arrived and a processing delay. Replies never
// overlap: one queued behind another starts when the line is free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "frame.h"

namespace kv::sim {

// Wire time of byte n counted from a start time: n bytes of 10 bits at 9600 baud.
constexpr Micros WireTime(std::int64_t bytes) { return bytes * 10 * 1000000 / 9600; }

class LineOut {
 public:
  static constexpr std::size_t kCapacity = 4096;  // bytes queued at most; more are dropped

  // Queues a reply to a frame that was complete at `arrival`. Without pacing the bytes are due
  // at once. Returns false when the queue was full and the reply was dropped.
  bool Queue(const std::vector<std::uint8_t>& bytes, Micros arrival, bool pacing, Micros delay);

  // Number of queued bytes due by `now` (they are at the front).
  std::size_t Due(Micros now) const;
  // Copies up to `max` front bytes; Consume removes what was really written.
  std::size_t Peek(std::uint8_t* out, std::size_t max) const;
  void Consume(std::size_t count);

  bool empty() const { return queue_.empty(); }
  Micros nextDue() const { return queue_.empty() ? -1 : queue_.front().due; }

 private:
  struct Byte {
    Micros due;
    std::uint8_t value;
  };
  std::deque<Byte> queue_;
  Micros lineFree_ = 0;  // due time of the last byte queued
};

// "<seconds, 6 decimals> <in|out> <HEX HEX ...>[ # garbage]" without the newline.
std::string LogLine(Micros sinceStart, bool in, const std::uint8_t* bytes, std::size_t count,
                    bool garbage);

}  // namespace kv::sim
