// record and watch: the readings panel's poll cycle, without the panel.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "commands.h"
#include "controller.h"
#include "live.h"
#include "readings/readings.h"
#include "readings/readings_state.h"
#include "shell/poll.h"

namespace kv::cli {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The readings panel's tick and cadence (Block 2 at every online tick, Blocks 3 and 4 at every
// fourth), without the panel. Blocks 3 and 4 are also read at once whenever the image lacks them
// (at the start and after the link was offline), so that every row is decoded with the probe
// type and TPS sensor code of the car.
struct ReadingsPoller {
  Link& link;
  ReadingsState state;

  // Returns whether a Block 2 reply was accepted.
  bool Tick() {
    if (!IdentifyForReading(link)) return false;
    BlockSet blocks = ReadingsBlocks(state);
    if (link.image.Byte(3, 0) != kMarker) blocks |= Blocks({3, 4});
    const bool fresh = ReadBlock(link, 2);
    kv::ReadBlocks(link, blocks & ~Blocks({2}));
    return fresh;
  }

  // The next tick falls one poll period after this one (50 ms online, 500 ms offline); a tick
  // that ran over its period is followed at once, as a pending timer message would be.
  Clock::time_point Next(Clock::time_point scheduled) const {
    const auto next = scheduled + std::chrono::milliseconds(link.pollPeriod);
    return std::max(next, Clock::now());
  }
};

// Sleeps until `until`, in short steps so that Ctrl+C ends the wait at once.
void SleepUntil(Clock::time_point until, const Platform& platform) {
  while (!platform.Interrupted()) {
    const auto now = Clock::now();
    if (now >= until) return;
    std::this_thread::sleep_for(std::min<Clock::duration>(until - now, std::chrono::milliseconds(20)));
  }
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

struct Progress {
  Context& c;
  Clock::time_point lastShown{};
  std::size_t width = 0;

  // Redrawn in place on a terminal four times a second; a line every ten seconds otherwise.
  void Show(const std::string& text, bool force = false) {
    const bool terminal = c.platform.ErrorsAreTerminal();
    const auto every = terminal ? std::chrono::milliseconds(250) : std::chrono::seconds(10);
    if (!force && Clock::now() - lastShown < every) return;
    lastShown = Clock::now();
    if (!terminal) {
      c.err << text << "\n" << std::flush;
      return;
    }
    std::string line = text;
    if (line.size() < width) line.append(width - line.size(), ' ');
    width = text.size();
    c.err << "\r" << line << std::flush;
  }
  void End() {
    if (c.platform.ErrorsAreTerminal() && width > 0) c.err << "\n";
  }
};

std::string RecordProgress(const std::string& file, double seconds, long rows, bool answering) {
  char text[160];
  std::snprintf(text, sizeof text, "recording %s: %.1f s, %ld rows%s", file.c_str(), seconds, rows,
                answering ? "" : " - the controller does not answer");
  return text;
}

}  // namespace

int RunRecord(Context& c) {
  Link link;
  int code = Connect(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {3, 4});
  if (code != kExitOk) return code;
  const std::string& name = c.args.files[0];
  std::ofstream file(PathOf(name), std::ios::binary | std::ios::trunc);
  if (!file) return Fail(c, kExitFile, "cannot create " + name);
  file << CsvStartLine(c.platform.Now()) << CsvHeaderLine() << std::flush;

  const FineClockHold fineClock(c.platform);
  ReadingsPoller poller{link, {}};
  Progress progress{c};
  long rows = 0;
  bool lastOnGas = false, haveRow = false;
  const auto start = Clock::now();
  auto scheduled = start;
  while (!c.platform.Interrupted() && file) {
    if (c.args.seconds && SecondsSince(start) >= *c.args.seconds) break;
    if (poller.Tick()) {
      const bool onGas = OnGas(link.image);
      file << CsvRow(SecondsSince(start), link.image, FuelMarker(haveRow ? &lastOnGas : nullptr, onGas))
           << std::flush;
      lastOnGas = onGas;
      haveRow = true;
      ++rows;
    }
    progress.Show(RecordProgress(name, SecondsSince(start), rows, !link.offline));
    scheduled = poller.Next(scheduled);
    SleepUntil(scheduled, c.platform);
  }
  progress.Show(RecordProgress(name, SecondsSince(start), rows, !link.offline), true);
  progress.End();
  ClosePort(link);
  if (!file) return Fail(c, kExitFile, "writing " + name + " failed (disk full?)");
  return kExitOk;
}

int RunWatch(Context& c) {
  Link link;
  int code = Connect(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {3, 4});
  if (code != kExitOk) return code;
  const FineClockHold fineClock(c.platform);
  ReadingsPoller poller{link, {}};
  const bool terminal = c.platform.OutputIsTerminal();
  std::size_t width = 0;
  auto lastLine = Clock::time_point{};
  auto scheduled = Clock::now();
  while (!c.platform.Interrupted()) {
    poller.Tick();
    const std::string line =
        link.offline ? std::string("no answer from the controller on ") + c.args.port
                     : WatchLine(link.image);
    if (terminal) {
      std::string shown = line;
      if (shown.size() < width) shown.append(width - shown.size(), ' ');
      width = line.size();
      c.out << "\r" << shown << std::flush;
    } else if (Clock::now() - lastLine >= std::chrono::seconds(1)) {
      lastLine = Clock::now();
      c.out << line << "\n" << std::flush;
    }
    scheduled = poller.Next(scheduled);
    SleepUntil(scheduled, c.platform);
  }
  if (terminal) c.out << "\n";
  ClosePort(link);
  return kExitOk;
}

}  // namespace kv::cli
