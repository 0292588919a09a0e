// plot: road recordings (recording.h, and the files of earlier versions) as one web page that
// any browser opens offline. The page carries the charting library, the viewer's script and
// style, and the recordings' columns as JSON; the viewer draws the charts in the browser.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::cli {

struct RecordedMarker {
  double time = 0;
  int number = 0;      // 0 for a marker that is not numbered (the fuel words of earlier files)
  std::string label;   // "2 hesitates"
};

// A recording read back: its facts, and each column as a JSON array (numbers, null where a
// field is empty or not a number; ON/OFF as 1/0).
struct Recording {
  std::string name;  // the file's name, without its folder
  std::string started, registration, controller;
  std::vector<std::string> columns, units, arrays;
  std::vector<RecordedMarker> markers;
  long rows = 0;
  double duration = 0;  // the last row's time
};

// Reads a recording of either separator; false with a one-line reason when it is not one.
bool ReadRecording(std::string_view text, Recording& recording, std::string& error);

// The page for the recordings, aligned at their start (alignMarker 0) or at marker N of each;
// empty with a reason when a file lacks that marker.
std::string PlotPage(const std::vector<Recording>& recordings, int alignMarker, std::string& error);

}  // namespace kv::cli
