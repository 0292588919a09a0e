// The simulator's receiver fed any bytes in any chunks at any times: every frame it passes on
// is a request of 4 bytes with the marker and a good checksum, nothing is lost or made up (frames,
// dropped bytes and what still waits add up to the input, in order), and at most one partial
// frame waits.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  kv::sim::FrameParser parser(input.ConsumeIntegralInRange<kv::sim::Micros>(1, 500000));
  std::vector<std::uint8_t> fed;
  std::vector<kv::sim::Received> out;
  kv::sim::Micros now = 0;
  while (input.remaining_bytes() > 0) {
    now += input.ConsumeIntegralInRange<kv::sim::Micros>(0, 400000);
    if (input.ConsumeBool()) {
      parser.Expire(now, out);
    } else {
      const auto chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 16));
      fed.insert(fed.end(), chunk.begin(), chunk.end());
      parser.Feed(chunk.data(), chunk.size(), now, out);
    }
    FUZZ_CHECK(parser.pending() < kv::sim::kRequestLength);
    FUZZ_CHECK((parser.pending() == 0) == (parser.deadline() == -1));
  }

  std::vector<std::uint8_t> accounted;
  for (const kv::sim::Received& r : out) {
    if (!r.garbage) {
      FUZZ_CHECK(r.bytes.size() == kv::sim::kRequestLength);
      FUZZ_CHECK(r.bytes[0] == kv::sim::kMarker);
      FUZZ_CHECK(kv::sim::Checksum(r.bytes.data(), 3) == r.bytes[3]);
    } else {
      FUZZ_CHECK(!r.bytes.empty());
    }
    accounted.insert(accounted.end(), r.bytes.begin(), r.bytes.end());
  }
  // What still waits is the input's tail.
  FUZZ_CHECK(accounted.size() + parser.pending() == fed.size());
  FUZZ_CHECK(std::equal(accounted.begin(), accounted.end(), fed.begin()));
  return 0;
}
