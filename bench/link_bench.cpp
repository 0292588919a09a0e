// The link's own cost beside the wire: a readings-style tick (identification and Block 2, with
// Blocks 3 and 4 every fourth tick) against kv720-sim over a pseudo-terminal, and the same tick
// against an instant fake port for the CPU time alone.
#include <cstdio>

#include "bench.h"
#include "fake_port.h"
#include "link/link.h"
#include "link/serial_port_posix.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "sim_process.h"

namespace kv::bench {
namespace {

constexpr int kTicks = 200;

// Bytes on the wire for the n-th tick online (n from 1): each exchange is a 4-byte request and
// its reply; every fourth tick also reads Blocks 3 and 4.
int TickBytes(int tick) {
  int bytes = (4 + 4) + (4 + 11);
  if (tick % 4 == 0) bytes += (4 + 14) + (4 + 16);
  return bytes;
}

int TickExchanges(int tick) { return tick % 4 == 0 ? 4 : 2; }

// The readings panel's tick without its refresh.
void Tick(Program& program) {
  PollTick(
      program, TickGate::Poll, [&] { return ReadingsBlocks(program.readings.blockTicks); }, [] {});
}

void TickAgainstSimulator() {
  testing::SimProcess sim({"--delay", "0"});
  if (!sim.Ready()) {
    std::printf("kv720-sim did not start\n");
    return;
  }
  PosixSerialPort port;
  port.devices["COM1:"] = sim.Link();
  Program program;
  Link& link = program.link;
  link.port = &port;
  Tick(program);  // tick 1 opens the port outside the measurement

  double wireMs = 0;
  int exchanges = 0;
  const double start = WallMilliseconds();
  for (int n = 2; n <= kTicks + 1; ++n) {
    Tick(program);
    wireMs += TickBytes(n) * kWireMsPerByte;
    exchanges += TickExchanges(n);
  }
  const double wallMs = WallMilliseconds() - start;
  ClosePort(link);
  if (link.offline) std::printf("warning: the link went offline during the run\n");
  const double overheadMs = (wallMs - wireMs) / kTicks;
  std::printf("tick wall time        %8.3f ms (mean of %d ticks)\n", wallMs / kTicks, kTicks);
  std::printf("tick wire time        %8.3f ms (modelled, 9600 baud 8N1)\n", wireMs / kTicks);
  std::printf("overhead per tick     %8.3f ms (wall / wire = %.3f)\n", overheadMs,
              wallMs / wireMs);
  std::printf("overhead per exchange %8.3f ms (goal < 0.5)\n", (wallMs - wireMs) / exchanges);
}

std::vector<std::uint8_t> InstantController(const std::vector<std::uint8_t>& frame, void*) {
  static const std::uint8_t lengths[] = {0, 4, 11, 14, 16, 21};
  if (frame.size() != 4) return {};
  if (frame[1] == frame[2] && frame[1] >= 1 && frame[1] <= 5) {
    std::vector<std::uint8_t> payload(lengths[frame[1]] - 2, 0x45);
    return testing::Frame(payload);
  }
  return {0x65, frame[2], 0};
}

void TickCpuTime() {
  testing::FakePort port;
  port.responder = InstantController;
  Program program;
  program.link.port = &port;
  constexpr int kRuns = 20000;
  const double start = CpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) {
    Tick(program);
    if ((i & 255) == 0) port.ClearLog();
  }
  const double perTick = (CpuMicroseconds() - start) / kRuns;
  std::printf("tick CPU time         %8.3f us (instant fake port, includes its call log)\n",
              perTick);
  const double meanWireMs =
      (TickBytes(0) + TickBytes(1) + TickBytes(2) + TickBytes(3)) / 4.0 * kWireMsPerByte;
  std::printf("   ratio to wire time %8.5f (mean tick on the wire %.3f ms)\n",
              perTick / 1000.0 / meanWireMs, meanWireMs);
}

}  // namespace

KV720_BENCH("link: readings tick against kv720-sim over a pty", TickAgainstSimulator);
KV720_BENCH("link: readings tick CPU time", TickCpuTime);

}  // namespace kv::bench
