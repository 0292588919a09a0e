// plot: reads the recordings, writes the page.
#include "commands.h"
#include "plot.h"

namespace kv::cli {
namespace {

// A recording is about 70 bytes a row: this is a day and more of driving.
constexpr std::size_t kMaxRecordingBytes = std::size_t{512} << 20;

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// road.csv -> road.html, beside it.
std::string DefaultPage(const std::string& recording) {
  const auto dot = recording.find_last_of('.');
  const auto slash = recording.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? recording.substr(0, dot) : recording) + ".html";
}

}  // namespace

int RunPlot(Context& c) {
  std::vector<Recording> recordings;
  long rows = 0;
  for (const std::string& path : c.args.files) {
    std::string text, error;
    if (!c.platform.Files().Read(path, kMaxRecordingBytes + 1, text))
      return Fail(c, kExitFile, "cannot read " + path);
    if (text.size() > kMaxRecordingBytes) return Fail(c, kExitFile, path + " is too big to plot");
    Recording recording;
    recording.name = BaseName(path);
    if (!ReadRecording(text, recording, error)) return Fail(c, kExitFile, path + ": " + error);
    rows += recording.rows;
    recordings.push_back(std::move(recording));
  }
  std::string error;
  const std::string page = PlotPage(recordings, c.args.alignMarker, error);
  if (page.empty()) return Fail(c, kExitUsage, error);
  const std::string output = c.args.output.empty() ? DefaultPage(c.args.files[0]) : c.args.output;
  if (!c.platform.Files().Replace(output, page)) return Fail(c, kExitFile, "cannot write " + output);
  c.out << "wrote " << output << " (" << rows << " rows from " << recordings.size()
        << (recordings.size() == 1 ? " recording)\n" : " recordings)\n");
  return kExitOk;
}

}  // namespace kv::cli
