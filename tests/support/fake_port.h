// A scripted serial port: replies are queued per write, every call is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace kv::testing {

class FakePort final : public SerialPort {
 public:
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
