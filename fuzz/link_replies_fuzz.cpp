// The link against a port that answers anything: replies of any length and content, opens that
// fail, the port closed at any time. After every call the link's own rules hold: the image
// changes only on an accepted reply and only in that reply's block; identification misses count
// to three and then take the link offline with the image cleared; a marked reply with a bad
// checksum only closes the port; nothing is ever written unless the image says version 3.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "fuzz_check.h"
#include "link/link.h"

namespace {

// A serial port whose every write makes the next scripted reply arrive; it keeps what the link
// last read, so the checks can judge the reply the link saw.
class ScriptedPort final : public kv::SerialPort {
 public:
  std::vector<std::uint8_t> reply;  // arrives after the next write
  bool openSucceeds = true;
  bool open = false;
  std::vector<std::vector<std::uint8_t>> written;
  std::vector<std::uint8_t> lastRead;

  bool Open(const std::string&) override {
    open = openSucceeds;
    pending_.clear();
    return open;
  }
  void Close() override {
    open = false;
    pending_.clear();
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override {
    if (!open) return 0;
    written.emplace_back(data, data + count);
    pending_.insert(pending_.end(), reply.begin(), reply.end());
    reply.clear();
    return count;
  }
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override {
    lastRead.clear();
    while (open && lastRead.size() < count && !pending_.empty()) {
      lastRead.push_back(pending_.front());
      pending_.pop_front();
    }
    std::copy(lastRead.begin(), lastRead.end(), data);
    return static_cast<std::uint32_t>(lastRead.size());
  }
  void PurgeReceive() override { pending_.clear(); }
  void PurgeTransmit() override {}
  void Pause(int) override {}

 private:
  std::deque<std::uint8_t> pending_;
};

// The zero-padded buffer the link judges: what arrived, then zeros up to the reply length.
std::vector<std::uint8_t> Judged(const ScriptedPort& port, std::size_t length) {
  std::vector<std::uint8_t> buffer(length, 0);
  std::copy_n(port.lastRead.begin(), std::min(length, port.lastRead.size()), buffer.begin());
  return buffer;
}

bool Accepted(const std::vector<std::uint8_t>& r) {
  return r[0] == kv::kMarker && kv::FrameChecksum(r.data(), r.size() - 1) == r.back();
}

bool BlockIs(const kv::MemoryImage& image, int block, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t k = 0; k < bytes.size(); ++k)
    if (image.Byte(block, k) != bytes[k]) return false;
  return true;
}

bool SameBlocksBut(const kv::MemoryImage& a, const kv::MemoryImage& b, int except) {
  for (int n = 1; n <= kv::kBlockCount; ++n)
    if (n != except && a.blocks[n - 1] != b.blocks[n - 1]) return false;
  return true;
}

// A reply built from the input; when asked, its checksum is made to hold for `length`, so the
// accepting paths are reached as often as the refusing ones.
std::vector<std::uint8_t> MakeReply(FuzzedDataProvider& input, std::size_t length) {
  auto reply = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 24));
  if (input.ConsumeBool() && reply.size() >= length) {
    reply[0] = kv::kMarker;
    reply[length - 1] = kv::FrameChecksum(reply.data(), length - 1);
  }
  return reply;
}

void CheckIdentify(const kv::Link& before, const kv::Link& after, const ScriptedPort& port) {
  const auto r = Judged(port, 4);
  if (r[0] == kv::kMarker && Accepted(r)) {
    FUZZ_CHECK(!after.offline && after.missCount == 0 && after.pollPeriod == kv::kOnlinePollPeriod);
    FUZZ_CHECK(BlockIs(after.image, 1, r) && SameBlocksBut(before.image, after.image, 1));
  } else if (r[0] == kv::kMarker) {  // garbled: reopen at the next request, nothing counted
    FUZZ_CHECK(after.offline == before.offline && after.missCount == before.missCount);
    FUZZ_CHECK(after.image.blocks == before.image.blocks && !after.portOpen);
  } else if (before.missCount + 1 >= kv::kMissesToOffline) {
    FUZZ_CHECK(after.offline && after.missCount == kv::kMissesToOffline - 1);
    FUZZ_CHECK(after.pollPeriod == kv::kOfflinePollPeriod && !after.portOpen);
    FUZZ_CHECK(after.image.blocks == kv::MemoryImage{}.blocks);
  } else {
    FUZZ_CHECK(after.missCount == before.missCount + 1 && after.offline == before.offline);
    FUZZ_CHECK(after.image.blocks == before.image.blocks);
  }
}

void CheckReadBlock(const kv::Link& before, const kv::Link& after, const ScriptedPort& port,
                    int block, bool result) {
  const auto r = Judged(port, kv::BlockLength(block));
  FUZZ_CHECK(result == Accepted(r));
  FUZZ_CHECK(after.offline == before.offline && after.missCount == before.missCount);
  FUZZ_CHECK(SameBlocksBut(before.image, after.image, block));
  FUZZ_CHECK(result ? BlockIs(after.image, block, r)
                    : after.image.blocks[block - 1] == before.image.blocks[block - 1]);
}

void CheckWriteByte(const kv::Link& before, const kv::Link& after, const ScriptedPort& port,
                    std::size_t writesBefore, std::uint8_t address, std::uint8_t value,
                    std::uint32_t result) {
  FUZZ_CHECK(after.image.blocks == before.image.blocks);
  if (kv::Version(before.image) != kv::kSupportedVersion) {
    FUZZ_CHECK(result == 0 && port.written.size() == writesBefore);
    return;
  }
  FUZZ_CHECK(result <= 3 && result == after.lastTransferCount);
  if (port.written.size() > writesBefore) {
    const auto frame = kv::WriteFrame(address, value);
    FUZZ_CHECK(port.written.back() == std::vector<std::uint8_t>(frame.begin(), frame.end()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  ScriptedPort port;
  kv::Link link;
  link.port = &port;
  while (input.remaining_bytes() > 0) {
    const int op = input.ConsumeIntegralInRange(0, 5);
    port.openSucceeds = input.ConsumeIntegralInRange(0, 15) != 0;
    const kv::Link before = link;
    const std::size_t writes = port.written.size();
    if (op <= 1) {
      port.reply = MakeReply(input, 4);
      kv::Identify(link);
      CheckIdentify(before, link, port);
    } else if (op <= 3) {
      const int block = input.ConsumeIntegralInRange(2, kv::kBlockCount);
      port.reply = MakeReply(input, kv::BlockLength(block));
      const bool accepted = kv::ReadBlock(link, block);
      CheckReadBlock(before, link, port, block, accepted);
    } else if (op == 4) {
      const auto address = input.ConsumeIntegral<std::uint8_t>();
      const auto value = input.ConsumeIntegral<std::uint8_t>();
      port.reply = MakeReply(input, 3);
      const std::uint32_t acknowledged = kv::WriteByte(link, address, value);
      CheckWriteByte(before, link, port, writes, address, value, acknowledged);
    } else {
      kv::ClosePort(link);
      FUZZ_CHECK(!link.portOpen && link.image.blocks == before.image.blocks);
    }
    // Requests go out as stored; a write frame only from WriteByte at version 3.
    for (std::size_t i = writes; i < port.written.size(); ++i) {
      const auto& frame = port.written[i];
      FUZZ_CHECK(frame.size() == 4 && frame[0] == kv::kMarker);
      const bool request = frame[1] >= 1 && frame[1] <= 5 && frame[1] == frame[2];
      FUZZ_CHECK(request || (op == 4 && kv::Version(before.image) == kv::kSupportedVersion));
    }
    FUZZ_CHECK(link.missCount >= 0 && link.missCount < kv::kMissesToOffline);
  }
  return 0;
}
