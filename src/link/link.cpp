#include "link/link.h"

namespace kv {
namespace {

// The five requests go out as stored: the request number twice, then the checksum.
constexpr std::uint8_t kRequests[kBlockCount][4] = {
    {0x65, 0x01, 0x01, 0x67}, {0x65, 0x02, 0x02, 0x69}, {0x65, 0x03, 0x03, 0x6B},
    {0x65, 0x04, 0x04, 0x6D}, {0x65, 0x05, 0x05, 0x6F}};

void OpenIfClosed(Link& link) {
  if (link.portOpen) return;
  // A failed open still counts as open: reads on the dead port move nothing, identification
  // counts the misses, and the third one closes it so the next exchange tries a fresh open.
  link.port->Open(link.portName);
  link.portOpen = true;
}

// Writes the request and reads an L-byte reply into a zeroed buffer; a short reply purges the
// receive queue and is judged on the zero-padded buffer. The reply is asked for whole in one
// read: a USB adapter then hands it over at its first packet that completes it, never a second
// latency period later.
std::array<std::uint8_t, kMaxBlockLength> Exchange(Link& link, int block) {
  std::array<std::uint8_t, kMaxBlockLength> reply{};
  const auto length = static_cast<std::uint32_t>(BlockLength(block));
  link.lastTransferCount = link.port->Write(kRequests[block - 1], 4);
  link.lastTransferCount = link.port->Read(reply.data(), length);
  if (link.lastTransferCount < length) link.port->PurgeReceive();
  return reply;
}

bool ChecksumHolds(const std::uint8_t* reply, std::size_t length) {
  return FrameChecksum(reply, length - 1) == reply[length - 1];
}

void CloseHandle(Link& link) {
  link.port->Close();
  link.portOpen = false;
}

void GoOffline(Link& link) {
  link.port->PurgeReceive();
  link.port->PurgeTransmit();
  CloseHandle(link);
  link.offline = true;
  // The count rests at 2 so that every further miss repeats these steps at once.
  link.missCount -= 1;
  link.pollPeriod = kOfflinePollPeriod;
  link.image.Clear();
}

}  // namespace

std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return sum;
}

std::array<std::uint8_t, 4> ReadRequest(int block) {
  std::array<std::uint8_t, 4> frame{};
  if (block >= 1 && block <= kBlockCount)
    for (int i = 0; i < 4; ++i) frame[i] = kRequests[block - 1][i];
  return frame;
}

std::array<std::uint8_t, 4> WriteFrame(std::uint8_t address, std::uint8_t value) {
  std::array<std::uint8_t, 4> frame{kMarker, static_cast<std::uint8_t>(address + 1), value, 0};
  frame[3] = FrameChecksum(frame.data(), 3);
  return frame;
}

void Identify(Link& link) {
  OpenIfClosed(link);
  link.port->PurgeTransmit();
  link.port->PurgeReceive();
  const auto reply = Exchange(link, 1);
  if (reply[0] == kMarker) {
    if (ChecksumHolds(reply.data(), 4)) {
      link.offline = false;
      link.missCount = 0;
      link.pollPeriod = kOnlinePollPeriod;
      link.image.ReplaceBlock(1, reply.data());
    } else {
      // Something answers but garbles: reopen at the next request, never count it as missing.
      link.port->PurgeReceive();
      CloseHandle(link);
    }
    return;
  }
  link.missCount += 1;
  if (link.missCount >= kMissesToOffline) GoOffline(link);
}

bool IdentifyForReading(Link& link) {
  Identify(link);
  return !link.offline && IsVersion3(link.image);
}

bool ReadBlock(Link& link, int block) {
  if (block < 2 || block > kBlockCount) return false;
  OpenIfClosed(link);
  link.port->PurgeTransmit();  // the receive queue is not purged before a block request
  const auto reply = Exchange(link, block);
  const std::size_t length = BlockLength(block);
  if (reply[0] != kMarker) return false;
  if (!ChecksumHolds(reply.data(), length)) {
    link.port->PurgeReceive();
    return false;
  }
  link.image.ReplaceBlock(block, reply.data());
  return true;
}

bool ReadBlocks(Link& link, BlockSet blocks) {
  bool accepted = true;
  for (int block = 2; block <= kBlockCount; ++block)
    if (blocks & (1u << block)) accepted = ReadBlock(link, block) && accepted;
  return accepted;
}

BlockSet ReadingsBlocks(unsigned& blockTicks) {
  // Blocks 3 and 4 change only when the user changes a setting: every fourth tick will do.
  if (++blockTicks > 3) {
    blockTicks = 0;
    return Blocks({2, 3, 4});
  }
  return Blocks({2});
}

std::uint32_t WriteByte(Link& link, std::uint8_t address, std::uint8_t value) {
  if (!IsVersion3(link.image)) return 0;
  const auto frame = WriteFrame(address, value);
  OpenIfClosed(link);
  link.port->PurgeReceive();
  link.port->PurgeTransmit();
  link.port->Write(frame.data(), 4);
  link.port->Pause(0);
  link.lastAck = {};
  link.lastTransferCount = link.port->Read(link.lastAck.data(), 3);
  link.port->PurgeReceive();
  return link.lastTransferCount;
}

void ClosePort(Link& link) {
  if (!link.portOpen) return;
  CloseHandle(link);
}

void SetPollPeriod(Link& link, int period) { link.pollPeriod = period; }

}  // namespace kv
