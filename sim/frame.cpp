#include "frame.h"

namespace kv::sim {

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum & 0xFF);
}

void FrameParser::Drop(std::uint8_t byte, std::vector<Received>& out) {
  // Consecutive dropped bytes form one garbage run.
  if (out.empty() || !out.back().garbage) out.push_back(Received{true, {}});
  out.back().bytes.push_back(byte);
}

void FrameParser::Push(std::uint8_t byte, std::vector<Received>& out) {
  if (length_ == 0 && byte != kMarker) {
    Drop(byte, out);
    return;
  }
  buffer_[length_++] = byte;
  if (length_ < kRequestLength) return;
  if (Checksum(buffer_.data(), kRequestLength - 1) == buffer_[kRequestLength - 1]) {
    out.push_back(Received{false, {buffer_.begin(), buffer_.end()}});
    length_ = 0;
    return;
  }
  // Not a frame: give up its first byte and rescan the rest from the next marker.
  Drop(buffer_[0], out);
  Frame rest = buffer_;
  const std::size_t restLength = kRequestLength - 1;
  length_ = 0;
  for (std::size_t i = 1; i <= restLength; ++i) Push(rest[i], out);
}

void FrameParser::Feed(const std::uint8_t* data, std::size_t count, Micros now,
                       std::vector<Received>& out) {
  if (count == 0) return;
  Expire(now, out);
  for (std::size_t i = 0; i < count; ++i) Push(data[i], out);
  last_ = now;
}

void FrameParser::Expire(Micros now, std::vector<Received>& out) {
  if (length_ == 0 || now - last_ <= gapLimit_) return;
  for (std::size_t i = 0; i < length_; ++i) Drop(buffer_[i], out);
  length_ = 0;
}

}  // namespace kv::sim
