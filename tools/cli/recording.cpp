#include "recording.h"

#include <cstdio>

#include "files/restore_point.h"
#include "utf8_chunks.h"

namespace kv::cli {
namespace {

std::string Line(const std::vector<std::string>& fields, const CsvStyle& style) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += style.separator;
    line += CsvField(fields[i], style);
  }
  return line + "\n";
}

// The decoders write a decimal point; the spreadsheet of a comma locale wants a comma.
std::string Number(std::string text, const CsvStyle& style) {
  if (style.decimalComma)
    for (char& c : text)
      if (c == '.') c = ',';
  return text;
}

// The first byte of the last UTF-8 character of `text`.
std::size_t LastCharacter(const std::string& text) {
  std::size_t at = text.size() - 1;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at;
}

}  // namespace

CsvStyle CsvStyleFor(char separator) { return {separator, separator == ';'}; }

std::string CsvField(std::string_view text, const CsvStyle& style) {
  if (text.find_first_of(std::string{style.separator, '"', '\n', '\r'}) == std::string_view::npos)
    return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string RecordingHeader(const CsvStyle& style) {
  std::vector<std::string> fields{"time_s"};
  for (const auto& name : LiveColumnNames()) fields.push_back(name);
  fields.push_back("marker");
  fields.push_back("note");
  return Line(fields, style);
}

std::string FactsText(const RecordingFacts& facts) {
  return "started " + DateTimeText(facts.started) + "; registration " + facts.registration +
         "; controller " + facts.controller;
}

std::string RecordingUnitsRow(const RecordingFacts& facts, const CsvStyle& style) {
  std::vector<std::string> fields{"s"};
  for (const auto& unit : LiveColumnUnits()) fields.push_back(unit);
  fields.push_back("");
  fields.push_back(FactsText(facts));
  return Line(fields, style);
}

std::string RecordingRow(double seconds, const MemoryImage& image, const Marker& marker,
                         const CsvStyle& style) {
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", seconds);
  std::vector<std::string> fields{Number(time, style)};
  for (auto& value : LiveValues(image)) fields.push_back(Number(std::move(value), style));
  fields.push_back(marker.number ? std::to_string(marker.number) : std::string());
  fields.push_back(marker.note);
  return Line(fields, style);
}

std::string RecordingName(const MemoryImage& image, const LocalTime& t) {
  return CarAndTimeName(image, {t.year, t.month, t.day, t.hour, t.minute, t.second}) + ".csv";
}

std::string RecordingFolder(const std::string& backupFolder) {
  const auto slash = backupFolder.find_last_of("/\\");
  if (slash == std::string::npos) return "Recordings";
  return backupFolder.substr(0, slash + 1) + "Recordings";
}

std::vector<std::string> MarkerTyping::Feed(std::string_view keys) {
  std::vector<std::string> notes;
  for (const char c : keys) {
    const bool lineFeedOfCrLf = c == '\n' && afterCarriageReturn_;
    afterCarriageReturn_ = c == '\r';
    if (lineFeedOfCrLf) continue;
    if (c == '\r' || c == '\n') {
      // Without a multi-byte character cut at the note's limit.
      pending_.erase(CompleteUtf8Length(pending_));
      notes.push_back(pending_);
      pending_.clear();
    } else if (c == '\b' || c == 0x7F) {
      if (!pending_.empty()) pending_.erase(LastCharacter(pending_));
    } else if (static_cast<unsigned char>(c) >= 0x20 && pending_.size() < kMaxNoteBytes) {
      pending_ += c;
    }
  }
  return notes;
}

}  // namespace kv::cli
