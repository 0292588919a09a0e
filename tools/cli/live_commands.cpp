// record and watch: the readings panel's poll cycle, without the panel.
#include <chrono>
#include <cstdio>
#include <thread>

#include "commands.h"
#include "controller.h"
#include "decode.h"
#include "live.h"
#include "recording.h"

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
  unsigned blockTicks = 0;  // as the readings panel counts them

  // Returns whether a Block 2 reply was accepted.
  bool Tick() {
    if (!IdentifyForReading(link)) return false;
    BlockSet blocks = ReadingsBlocks(blockTicks);
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
    width = 0;
  }
  // A line of its own, above the redrawn progress.
  void Line(const std::string& text) {
    if (c.platform.ErrorsAreTerminal() && width > 0)
      c.err << "\r" << std::string(width, ' ') << "\r";
    width = 0;
    c.err << text << "\n" << std::flush;
    lastShown = {};
  }
};

// The recording's file: rows gather in the C library's buffer and go to the disk once a second,
// so a pulled cable or a flat battery loses at most the last second.
struct RecordingFile {
  Platform& platform;
  std::FILE* file = nullptr;
  Clock::time_point synced = Clock::now();
  bool failed = false;

  void Write(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) failed = true;
  }
  void SyncWhenDue() {
    if (Clock::now() - synced < std::chrono::seconds(1)) return;
    synced = Clock::now();
    if (!platform.SyncRecording(file)) failed = true;
  }
  // True when every row reached the disk.
  bool Close() {
    const bool synced = platform.SyncRecording(file);
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return synced && closed && !failed;
  }
};

std::string Joined(const std::string& folder, const std::string& name) {
  const char slash = folder.find('\\') != std::string::npos ? '\\' : '/';
  return folder.empty() || folder.back() == slash ? folder + name : folder + slash + name;
}

// The file named on the command line (replaced when it exists), or a new one named after the car
// and the time in the Recordings folder ("_2", "_3", ... when the name is taken).
std::FILE* OpenRecording(Context& c, const MemoryImage& image, std::string& path) {
  if (!c.args.files.empty()) {
    path = c.args.files[0];
    return c.platform.CreateRecording(path, true);
  }
  const std::string folder = RecordingFolder(c.platform.DefaultBackupFolder());
  std::string name = RecordingName(image, c.platform.Now());
  path = Joined(folder, name);
  if (!c.platform.Files().MakeFolder(folder)) return nullptr;
  name.resize(name.size() - 4);
  for (int n = 2; n <= 100; ++n) {
    if (std::FILE* file = c.platform.CreateRecording(path, false)) return file;
    if (!c.platform.Files().Exists(path)) return nullptr;
    path = Joined(folder, name + "_" + std::to_string(n) + ".csv");
  }
  return nullptr;
}

// The markers typed during the recording, each waiting for the next row.
struct Markers {
  MarkerTyping typing;
  std::vector<std::string> waiting;
  int set = 0;

  void Take(Platform& platform) {
    for (auto& note : typing.Feed(platform.TypedKeys())) waiting.push_back(std::move(note));
  }
  Marker Next() {
    if (waiting.empty()) return {};
    Marker marker{++set, waiting.front()};
    waiting.erase(waiting.begin());
    return marker;
  }
};

std::string RecordProgress(const std::string& file, double seconds, long rows, bool answering,
                           const Markers& markers) {
  char text[200];
  std::snprintf(text, sizeof text, "recording %s: %.1f s, %ld rows%s | Enter sets marker %d",
                file.c_str(), seconds, rows,
                answering ? "" : " - the controller does not answer", markers.set + 1);
  const std::string& words = markers.typing.Pending();
  return words.empty() ? text : text + (": " + words);
}

void RecordRows(Context& c, Link& link, RecordingFile& out, const std::string& path) {
  const CsvStyle style = CsvStyleFor(c.args.separator);
  ReadingsPoller poller{link, {}};
  Progress progress{c};
  Markers markers;
  long rows = 0;
  const auto start = Clock::now();
  auto scheduled = start;
  while (!c.platform.Interrupted() && !out.failed) {
    if (c.args.seconds && SecondsSince(start) >= *c.args.seconds) break;
    const std::string typedBefore = markers.typing.Pending();
    markers.Take(c.platform);
    if (poller.Tick()) {
      const Marker marker = markers.Next();
      out.Write(RecordingRow(SecondsSince(start), link.image, marker, style));
      ++rows;
      if (marker.number) {
        char line[64];
        std::snprintf(line, sizeof line, "marker %d at %.1f s", marker.number, SecondsSince(start));
        progress.Line(line + (marker.note.empty() ? std::string() : ": " + marker.note));
      }
    }
    out.SyncWhenDue();
    // The words appear as they are typed (the terminal does not echo them).
    progress.Show(RecordProgress(path, SecondsSince(start), rows, !link.offline, markers),
                  typedBefore != markers.typing.Pending() && c.platform.ErrorsAreTerminal());
    scheduled = poller.Next(scheduled);
    SleepUntil(scheduled, c.platform);
  }
  progress.Show(RecordProgress(path, SecondsSince(start), rows, !link.offline, markers), true);
  progress.End();
}

}  // namespace

int RunRecord(Context& c) {
  Link link;
  int code = Connect(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {3, 4, 5});
  if (code != kExitOk) return code;
  std::string path;
  RecordingFile out{c.platform, OpenRecording(c, link.image, path)};
  if (!out.file) return Fail(c, kExitFile, "cannot create " + path);
  const RecordingFacts facts{c.platform.Now(), Registration(link.image), ControllerVersion(link.image)};
  const CsvStyle style = CsvStyleFor(c.args.separator);
  out.Write(RecordingHeader(style) + RecordingUnitsRow(facts, style));
  const FineClockHold fineClock(c.platform);
  RecordRows(c, link, out, path);
  c.platform.EndTyping();
  ClosePort(link);
  if (!out.Close()) return Fail(c, kExitFile, "writing " + path + " failed (disk full?)");
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
