#include "line.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "control.h"

namespace kv::sim {

bool LineOut::Queue(const std::vector<std::uint8_t>& bytes, Micros arrival, bool pacing,
                    Micros delay) {
  if (bytes.empty()) return true;
  if (queue_.size() + bytes.size() > kCapacity) return false;
  if (!pacing) {
    const Micros due = std::max(arrival, queue_.empty() ? arrival : queue_.back().due);
    for (std::uint8_t b : bytes) queue_.push_back({due, b});
    lineFree_ = due;
    return true;
  }
  // The request's four bytes take their wire time to arrive, then the controller thinks.
  const Micros start = std::max(arrival + WireTime(kRequestLength) + std::max<Micros>(delay, 0),
                                queue_.empty() ? Micros{0} : lineFree_);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    queue_.push_back({start + WireTime(static_cast<std::int64_t>(i) + 1), bytes[i]});
  lineFree_ = queue_.back().due;
  return true;
}

void LineOut::SetLatency(Micros period, Micros now) {
  latency_ = std::max<Micros>(period, 0);
  timerStart_ = now;
  if (latency_ == 0) released_ = 0;
}

Micros LineOut::Expiry(Micros t) const {
  const Micros periods = std::max<Micros>(1, (t - timerStart_ + latency_ - 1) / latency_);
  return timerStart_ + periods * latency_;
}

LineOut::Packet LineOut::NextPacket() const {
  Packet p;
  if (released_ >= queue_.size()) return p;
  const Micros expiry = Expiry(queue_[released_].due);
  const std::size_t held = queue_.size() - released_;
  if (held >= kAdapterPacket && queue_[released_ + kAdapterPacket - 1].due <= expiry)
    return {queue_[released_ + kAdapterPacket - 1].due, kAdapterPacket, true};
  p.at = expiry;
  for (std::size_t i = released_; i < queue_.size() && queue_[i].due <= expiry; ++i) ++p.bytes;
  return p;
}

std::size_t LineOut::Due(Micros now) {
  if (latency_ == 0) {
    std::size_t n = 0;
    while (n < queue_.size() && queue_[n].due <= now) ++n;
    return n;
  }
  for (Packet p = NextPacket(); p.at >= 0 && p.at <= now; p = NextPacket()) {
    released_ += p.bytes;
    if (p.full) timerStart_ = p.at;  // a full packet restarts the timer off the grid
  }
  return released_;
}

Micros LineOut::nextDue() const {
  if (queue_.empty()) return -1;
  if (latency_ == 0 || released_ > 0) return queue_.front().due;
  return NextPacket().at;
}

std::size_t LineOut::Peek(std::uint8_t* out, std::size_t max) const {
  const std::size_t n = std::min(max, queue_.size());
  for (std::size_t i = 0; i < n; ++i) out[i] = queue_[i].value;
  return n;
}

void LineOut::Consume(std::size_t count) {
  count = std::min(count, queue_.size());
  released_ -= std::min(count, released_);
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
}

std::string LogLine(Micros sinceStart, bool in, const std::uint8_t* bytes, std::size_t count,
                    bool garbage) {
  if (sinceStart < 0) sinceStart = 0;
  char head[48];
  std::snprintf(head, sizeof head, "%" PRId64 ".%06" PRId64 " %s ", sinceStart / 1000000,
                sinceStart % 1000000, in ? "in" : "out");
  std::string line = head + HexBytes(bytes, count);
  if (garbage) line += " # garbage";
  return line;
}

}  // namespace kv::sim
