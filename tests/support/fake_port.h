// A scripted serial port: replies are queued per write, every call is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "link/serial_port.h"

namespace kv::testing {

class FakePort final : public SerialPort {
 public:
  static constexpr int kReadRequests = 5;
  // Recorded calls, in order: "open COM1:", "close", "write 65 01 01 67", "read 4",
  // "purge rx", "purge tx", "pause 0".
  std::vector<std::string> calls;
  // Bytes written, frame by frame.
  std::vector<std::vector<std::uint8_t>> written;
  // Each write makes the next queued reply available to the reads that follow it; a write with
  // no queued reply makes nothing available (silence).
  std::deque<std::vector<std::uint8_t>> replies;
  // When set, each write answers with a reply built from the frame written (a simple controller).
  std::vector<std::uint8_t> (*responder)(const std::vector<std::uint8_t>& frame, void* context) =
      nullptr;
  void* responderContext = nullptr;
  bool openSucceeds = true;
  bool isOpen = false;
  int opens = 0;

  bool Open(const std::string& name) override {
    calls.push_back("open " + name);
    ++opens;
    isOpen = openSucceeds;
    pending_.clear();
    return openSucceeds;
  }
  void Close() override {
    calls.push_back("close");
    isOpen = false;
    pending_.clear();
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override {
    std::vector<std::uint8_t> frame(data, data + count);
    calls.push_back("write " + Hex(frame));
    if (!isOpen) return 0;
    written.push_back(frame);
    if (responder) {
      auto reply = responder(frame, responderContext);
      pending_.insert(pending_.end(), reply.begin(), reply.end());
    } else if (!replies.empty()) {
      pending_.insert(pending_.end(), replies.front().begin(), replies.front().end());
      replies.pop_front();
    }
    return count;
  }
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override {
    calls.push_back("read " + std::to_string(count));
    if (!isOpen) return 0;
    std::uint32_t n = 0;
    while (n < count && !pending_.empty()) {
      data[n++] = pending_.front();
      pending_.pop_front();
    }
    return n;
  }
  void PurgeReceive() override {
    calls.push_back("purge rx");
    pending_.clear();
  }
  void PurgeTransmit() override { calls.push_back("purge tx"); }
  void Pause(int milliseconds) override { calls.push_back("pause " + std::to_string(milliseconds)); }

  // Bytes still waiting to be read (a reply longer than the read asked for leaves some).
  std::size_t Pending() const { return pending_.size(); }
  void ClearLog() {
    calls.clear();
    written.clear();
  }

  // The write commands sent since the log was last cleared, as (write address, value): frames
  // whose wire address is past the five read requests.
  std::vector<std::pair<int, int>> Writes() const {
    std::vector<std::pair<int, int>> out;
    for (const auto& f : written)
      if (f.size() == 4 && f[1] > kReadRequests) out.emplace_back(f[1] - 1, f[2]);
    return out;
  }
  // The read requests sent since the log was last cleared, as block numbers.
  std::vector<int> Requests() const {
    std::vector<int> out;
    for (const auto& f : written)
      if (f.size() == 4 && f[1] == f[2] && f[1] <= kReadRequests) out.push_back(f[1]);
    return out;
  }
  // Every frame sent since the log was last cleared, in hex.
  std::vector<std::string> Frames() const {
    std::vector<std::string> out;
    for (const auto& f : written) out.push_back(Hex(f));
    return out;
  }
  static std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i) out += ' ';
      out += digits[bytes[i] >> 4];
      out += digits[bytes[i] & 15];
    }
    return out;
  }

 private:
  std::deque<std::uint8_t> pending_;
};

// A valid reply frame: marker, payload, checksum.
inline std::vector<std::uint8_t> Frame(std::vector<std::uint8_t> payload) {
  std::vector<std::uint8_t> frame{0x65};
  frame.insert(frame.end(), payload.begin(), payload.end());
  std::uint8_t sum = 0;
  for (auto b : frame) sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  return frame;
}

}  // namespace kv::testing
