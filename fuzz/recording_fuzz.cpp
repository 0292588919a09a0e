// A road recording (kv720-cli record's CSV, either separator, or an earlier version's) as any
// bytes, read by plot: an accepted file has rows and one closed JSON array per column, and its
// page keeps the data inside its script element whatever the notes and names say.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "plot.h"
#include "viewer_assets.h"

namespace kv::cli {
// The page's library and viewer are not what is fuzzed here.
const ViewerAssets& Viewer() {
  static const ViewerAssets none{};
  return none;
}
}  // namespace kv::cli

namespace {

std::size_t Count(const std::string& text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kv::cli::Recording recording;
  std::string error;
  if (!kv::cli::ReadRecording(text, recording, error)) {
    FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(recording.rows > 0);
  FUZZ_CHECK(recording.arrays.size() == recording.columns.size());
  FUZZ_CHECK(recording.units.size() == recording.columns.size());
  for (const std::string& array : recording.arrays)
    FUZZ_CHECK(array.size() >= 2 && array.front() == '[' && array.back() == ']');
  recording.name = std::string(text.substr(0, 40));
  const std::string page = kv::cli::PlotPage({recording}, 0, error);
  FUZZ_CHECK(!page.empty());
  FUZZ_CHECK(Count(page, "</script") == 3);
  return 0;
}
