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

std::size_t LineOut::Due(Micros now) const {
  std::size_t n = 0;
  for (const Byte& b : queue_) {
    if (b.due > now) break;
    ++n;
  }
  return n;
}

std::size_t LineOut::Peek(std::uint8_t* out, std::size_t max) const {
  const std::size_t n = std::min(max, queue_.size());
  for (std::size_t i = 0; i < n; ++i) out[i] = queue_[i].value;
  return n;
}

void LineOut::Consume(std::size_t count) {
  count = std::min(count, queue_.size());
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
