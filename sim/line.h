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

// Optionally the replies then pass a USB serial adapter of the common latency-timer kind before
// the reader sees them. Such a chip keeps received bytes in its buffer and sends them to the host
// in one USB packet when its latency timer runs out, or at once when 62 bytes have gathered (a
// 64-byte packet less its 2 status bytes). The timer restarts at every packet the chip sends,
// and the chip sends one at every expiry even with nothing but its status bytes; it does not
// restart at each received byte. So expiries fall on a grid of `latency` steps that only a full
// packet moves, and a reply reaches the reader at the first expiry after its last byte. A
// client that writes its next request as soon as a reply arrives starts each exchange on the
// grid: at 16 ms, identification (4 + 4 bytes, 8.3 ms) takes one period and Block 2 (4 + 11
// bytes, 15.6 ms, plus any turnaround) two, 48 ms a sample or about 21 a second, where a timer
// restarted at each byte would give 56 ms (18 a second). At 1 ms each exchange ends on the next
// millisecond: about 38 a second against 41.7 on the wire.
class LineOut {
 public:
  static constexpr std::size_t kCapacity = 4096;  // bytes queued at most; more are dropped
  static constexpr std::size_t kAdapterPacket = 62;  // data bytes in one USB packet of the chip

  // Queues a reply to a frame that was complete at `arrival`. Without pacing the bytes are due
  // at once. Returns false when the queue was full and the reply was dropped.
  bool Queue(const std::vector<std::uint8_t>& bytes, Micros arrival, bool pacing, Micros delay);

  // The adapter's latency timer period; 0 is an ideal line (no adapter). The timer's grid starts
  // at `now`.
  void SetLatency(Micros period, Micros now);
  Micros latency() const { return latency_; }

  // Number of queued bytes the reader may have by `now` (they are at the front): on the wire by
  // then, and through the adapter when there is one.
  std::size_t Due(Micros now);
  // Copies up to `max` front bytes; Consume removes what was really written.
  std::size_t Peek(std::uint8_t* out, std::size_t max) const;
  void Consume(std::size_t count);

  bool empty() const { return queue_.empty(); }
  // When the next bytes become due; -1 with nothing queued.
  Micros nextDue() const;

 private:
  struct Byte {
    Micros due;  // when its last bit is on the wire
    std::uint8_t value;
  };
  struct Packet {
    Micros at = -1;  // -1: the adapter holds nothing
    std::size_t bytes = 0;
    bool full = false;
  };
  Packet NextPacket() const;
  Micros Expiry(Micros t) const;  // the first expiry after the timer's start at or after t

  std::deque<Byte> queue_;
  Micros lineFree_ = 0;  // due time of the last byte queued
  Micros latency_ = 0;
  Micros timerStart_ = 0;     // a point of the expiry grid
  std::size_t released_ = 0;  // front bytes the adapter has sent on but not yet consumed
};

// "<seconds, 6 decimals> <in|out> <HEX HEX ...>[ # garbage]" without the newline.
std::string LogLine(Micros sinceStart, bool in, const std::uint8_t* bytes, std::size_t count,
                    bool garbage);

}  // namespace kv::sim
