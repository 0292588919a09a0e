#include "plot.h"

#include <cstdio>
#include <cstdlib>

#include "json.h"
#include "viewer_assets.h"

namespace kv::cli {
namespace {

// One record of a CSV text at a time, quotes undone; fields reuse their storage.
class CsvReader {
 public:
  CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {}
  bool Next(std::vector<std::string>& fields) {
    if (at_ >= text_.size()) return false;
    fields.resize(1);
    fields[0].clear();
    bool quoted = false;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (quoted) {
        if (c != '"') fields.back() += c;
        else if (at_ < text_.size() && text_[at_] == '"') fields.back() += text_[at_++];
        else quoted = false;
      } else if (c == '"') {
        quoted = true;
      } else if (c == separator_) {
        fields.emplace_back();
      } else if (c == '\n') {
        break;
      } else if (c != '\r') {
        fields.back() += c;
      }
    }
    return true;
  }

 private:
  std::string_view text_;
  char separator_;
  std::size_t at_ = 0;
};

// A number as JSON takes it: -?digits[.digits][e[+-]digits].
bool IsJsonNumber(const std::string& s) {
  std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
  auto digits = [&] {
    const std::size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i > from;
  };
  if (!digits()) return false;
  if (i < s.size() && s[i] == '.' && (++i, !digits())) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == s.size();
}

// A field as a JSON value of the column's array.
std::string JsonValue(std::string field, bool decimalComma) {
  if (field == "ON") return "1";
  if (field == "OFF") return "0";
  if (decimalComma)
    for (char& c : field)
      if (c == ',') c = '.';
  return IsJsonNumber(field) ? field : "null";
}

// "started 2024-05-01 14:03:22; registration KR720SM; controller 3.05".
void ReadFacts(const std::string& text, Recording& r) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(';', at);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(at, end - at);
    while (!part.empty() && part[0] == ' ') part.erase(0, 1);
    const auto space = part.find(' ');
    const std::string key = part.substr(0, space), value = space == std::string::npos ? "" : part.substr(space + 1);
    if (key == "started") r.started = value;
    if (key == "registration") r.registration = value;
    if (key == "controller") r.controller = value;
    at = end + 1;
  }
}

int ColumnOf(const Recording& r, const std::string& name) {
  for (std::size_t i = 0; i < r.columns.size(); ++i)
    if (r.columns[i] == name) return static_cast<int>(i);
  return -1;
}

// The header, the earlier versions' "started,<date time>" line before it, and the units row.
bool ReadHead(CsvReader& csv, std::vector<std::string>& fields, Recording& r, std::string& error) {
  if (!csv.Next(fields)) return error = "the file is empty", false;
  if (fields.size() == 2 && fields[0] == "started") {
    r.started = fields[1];
    csv.Next(fields);
  }
  if (fields.empty() || fields[0] != "time_s")
    return error = "not a recording of kv720-cli record (no time_s column)", false;
  r.columns = fields;
  r.units.assign(fields.size(), "");
  r.arrays.assign(fields.size(), "[");
  return true;
}

void TakeMarker(const std::vector<std::string>& fields, int marker, int note, double time,
                Recording& r) {
  const std::string mark = marker >= 0 && marker < static_cast<int>(fields.size()) ? fields[marker] : "";
  if (mark.empty()) return;
  const std::string words = note >= 0 && note < static_cast<int>(fields.size()) ? fields[note] : "";
  char* end = nullptr;
  const long number = std::strtol(mark.c_str(), &end, 10);
  const bool numbered = end && *end == '\0' && number > 0 && number < 1000000;
  r.markers.push_back({time, numbered ? static_cast<int>(number) : 0,
                       words.empty() ? mark : mark + " " + words});
}

}  // namespace

bool ReadRecording(std::string_view text, Recording& r, std::string& error) {
  const std::string_view first = text.substr(0, text.find('\n'));
  const char separator = first.find(';') != std::string_view::npos ? ';' : ',';
  CsvReader csv(text, separator);
  std::vector<std::string> fields;
  if (!ReadHead(csv, fields, r, error)) return false;
  const int marker = ColumnOf(r, "marker"), note = ColumnOf(r, "note");
  bool unitsRow = true;
  while (csv.Next(fields)) {
    if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
    std::string time = JsonValue(fields[0], separator == ';');
    if (time == "null" && unitsRow && r.rows == 0) {  // the units row
      for (std::size_t i = 0; i < fields.size() && i < r.units.size(); ++i) r.units[i] = fields[i];
      if (note >= 0 && note < static_cast<int>(fields.size())) ReadFacts(fields[note], r);
      unitsRow = false;
      continue;
    }
    if (time == "null") continue;  // a row cut short by a pulled cable
    fields.resize(r.columns.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (static_cast<int>(i) == marker || static_cast<int>(i) == note) continue;
      if (r.rows) r.arrays[i] += ',';
      r.arrays[i] += JsonValue(fields[i], separator == ';');
    }
    r.duration = std::strtod(time.c_str(), nullptr);
    TakeMarker(fields, marker, note, r.duration, r);
    ++r.rows;
  }
  for (auto& array : r.arrays) array += "]";
  if (r.rows == 0) return error = "the recording has no rows", false;
  return true;
}

namespace {

// The time each file is moved by so that the chosen marker falls at the same moment as in the
// first file.
bool Shifts(const std::vector<Recording>& recordings, int marker, std::vector<double>& shifts,
            std::string& error) {
  shifts.assign(recordings.size(), 0.0);
  if (marker == 0) return true;
  std::vector<double> at;
  for (const Recording& r : recordings) {
    const RecordedMarker* found = nullptr;
    for (const auto& m : r.markers)
      if (m.number == marker) found = &m;
    if (!found) return error = r.name + " has no marker " + std::to_string(marker), false;
    at.push_back(found->time);
  }
  for (std::size_t i = 0; i < at.size(); ++i) shifts[i] = at[0] - at[i];
  return true;
}

std::string FileJson(const Recording& r, double shift) {
  char numbers[128];
  std::snprintf(numbers, sizeof numbers, ",\"rows\":%ld,\"duration\":%.3f,\"shift\":%.3f", r.rows,
                r.duration, shift);
  std::string out = "{\"name\":" + JsonString(r.name) + ",\"started\":" + JsonString(r.started) +
                    ",\"registration\":" + JsonString(r.registration) +
                    ",\"controller\":" + JsonString(r.controller) + numbers + ",\"units\":{";
  for (std::size_t i = 0; i < r.columns.size(); ++i) {
    if (i) out += ',';
    out += JsonString(r.columns[i]) + ":" + JsonString(r.units[i]);
  }
  out += "},\"columns\":{";
  for (std::size_t i = 0, n = 0; i < r.columns.size(); ++i) {
    if (r.columns[i] == "marker" || r.columns[i] == "note") continue;
    if (n++) out += ',';
    out += JsonString(r.columns[i]) + ":" + r.arrays[i];
  }
  out += "},\"markers\":[";
  for (std::size_t i = 0; i < r.markers.size(); ++i) {
    std::snprintf(numbers, sizeof numbers, "{\"t\":%.3f,\"n\":%d,\"label\":", r.markers[i].time,
                  r.markers[i].number);
    if (i) out += ',';
    out += numbers + JsonString(r.markers[i].label) + "}";
  }
  return out + "]}";
}

// Text inside a <pre> or <title>.
std::string HtmlText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

}  // namespace

std::string PlotPage(const std::vector<Recording>& recordings, int alignMarker, std::string& error) {
  std::vector<double> shifts;
  if (!Shifts(recordings, alignMarker, shifts, error)) return {};
  std::string names, data = "{\"align\":" + std::to_string(alignMarker) + ",\"files\":[";
  for (std::size_t i = 0; i < recordings.size(); ++i) {
    if (i) names += ", ", data += ",";
    names += recordings[i].name;
    data += FileJson(recordings[i], shifts[i]);
  }
  data += "]}";
  const ViewerAssets& a = Viewer();
  std::string page;
  page.reserve(data.size() + 100000);
  page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Road test: " +
          HtmlText(names) + "</title>\n<style>\n";
  page.append(a.chartCss).append("\n</style>\n<style>\n").append(a.viewerCss);
  page += "\n</style>\n</head>\n<body>\n<header id=\"kv-header\"></header>\n<div id=\"kv-readout\">"
          "</div>\n<div id=\"kv-charts\"></div>\n<section id=\"kv-stats\"></section>\n"
          "<footer id=\"kv-licence\">Made by kv720-cli plot. The charts are drawn by uPlot " +
          std::string(a.chartVersion) + ", under its licence:<pre>" + HtmlText(a.chartLicence) +
          "</pre></footer>\n<script>\n";
  page.append(a.chartJs).append("\n</script>\n<script type=\"application/json\" id=\"kv-data\">");
  page.append(data).append("</script>\n<script>\n").append(a.viewerJs);
  page += "\n</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace kv::cli
