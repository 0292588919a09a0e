// The road recording that `record` writes and `plot` reads: a CSV file any spreadsheet or CSV
// reader opens. Its first line holds the column names, the second their units (and, under
// `note`, when it started and which car it is), then one row per Block 2 reply. The markers
// the fitter sets with Enter are numbered in the `marker` column, their words in `note`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/memory_image.h"
#include "live.h"

namespace kv::cli {

// Comma-separated with a decimal point, or, for spreadsheets whose list separator is ';' (the
// Polish and Russian locales), semicolon-separated with a decimal comma.
struct CsvStyle {
  char separator = ',';
  bool decimalComma = false;
};
CsvStyle CsvStyleFor(char separator);

// A field as a CSV reader takes it back: quoted (quotes doubled) when it holds the separator, a
// quote or a line end.
std::string CsvField(std::string_view text, const CsvStyle& style);

// What the units row says about the recording.
struct RecordingFacts {
  LocalTime started;
  std::string registration;  // as the information panel shows it
  std::string controller;    // "3.05"
};

std::string RecordingHeader(const CsvStyle& style);
std::string RecordingUnitsRow(const RecordingFacts& facts, const CsvStyle& style);
// "started 2024-05-01 14:03:22; registration KR720SM; controller 3.05".
std::string FactsText(const RecordingFacts& facts);

// A marker set on a row: its number (0: none) and the fitter's words.
struct Marker {
  int number = 0;
  std::string note;
};
std::string RecordingRow(double seconds, const MemoryImage& image, const Marker& marker,
                         const CsvStyle& style);

// "<registration>_<YYYY-MM-DD>_<HHMMSS>.csv" for a recording without a name given.
std::string RecordingName(const MemoryImage& image, const LocalTime& started);
// The Recordings folder beside the Backups folder.
std::string RecordingFolder(const std::string& backupFolder);

// The keys typed while a recording runs, put together into markers' notes: Enter ends a note,
// Backspace takes back the last character, other control keys are ignored, and a note stops
// growing at kMaxNoteBytes.
class MarkerTyping {
 public:
  static constexpr std::size_t kMaxNoteBytes = 60;
  // Keys as Platform::TypedKeys gives them; returns the notes Enter completed, in order.
  std::vector<std::string> Feed(std::string_view keys);
  // The words typed so far for the next marker.
  const std::string& Pending() const { return pending_; }

 private:
  std::string pending_;
  bool afterCarriageReturn_ = false;
};

}  // namespace kv::cli
