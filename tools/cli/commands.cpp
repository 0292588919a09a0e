#include "commands.h"

#include <cstdio>

#include "controller.h"
#include "decode.h"
#include "english_texts.h"
#include "json.h"
#include "kv720_version.h"
#include "link/value_texts.h"
#include "live.h"

namespace kv::cli {
namespace {

std::string Padded(std::string text, std::size_t width) {
  // Counted in bytes: the English texts padded here are plain ASCII.
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// The English label of a service record line, without its colon.
std::string Label(int text) {
  std::string label = EnglishTexts()[text];
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
  return label;
}

void PrintServiceRecord(std::ostream& out, const MemoryImage& image, std::size_t width) {
  out << Padded(Label(191), width) << Registration(image) << "\n"
      << Padded(Label(192), width) << RunningTimeText(image) << "\n"
      << Padded(Label(193), width) << InstallationDateText(image) << "\n";
}

int RunHelp(Context& c) {
  c.out << (c.args.helpFor ? CommandHelp(*c.args.helpFor) : HelpText());
  return kExitOk;
}

int RunCommand(Context& c) {
  switch (c.args.command) {
    case Command::Help: return RunHelp(c);
    case Command::Ports: return RunPorts(c);
    case Command::Info: return RunInfo(c);
    case Command::Read: return RunRead(c);
    case Command::Save: return RunSave(c);
    case Command::Load: return RunLoad(c);
    case Command::Diff: return RunDiff(c);
    case Command::Record: return RunRecord(c);
    case Command::Watch: return RunWatch(c);
    case Command::Doctor: return RunDoctor(c);
    case Command::Plot: return RunPlot(c);
    case Command::Version: c.out << "kv720-cli " << KV720_VERSION << "\n"; return kExitOk;
  }
  return kExitUsage;
}

}  // namespace

int Fail(Context& c, int code, const std::string& message) {
  c.err << "kv720-cli: " << message << "\n";
  return code;
}

int RunCli(const std::vector<std::string>& args, const std::string& environmentPort,
           Platform& platform, std::ostream& out, std::ostream& err) {
  const ParseResult parsed = ParseArguments(args, environmentPort);
  Context c{parsed.arguments, platform, out, err};
  if (!parsed.error.empty())
    return Fail(c, kExitUsage, parsed.error + " (kv720-cli --help shows the commands)");
  try {
    return RunCommand(c);
  } catch (const std::exception& e) {
    // A path the system refuses, or memory: a clear line rather than an abort.
    return Fail(c, kExitFile, std::string("stopped: ") + e.what());
  }
}

int RunPorts(Context& c) {
  const auto ports = c.platform.ListPorts();
  if (ports.empty()) c.out << "No serial ports found.\n";
  std::size_t width = 0;
  for (const auto& p : ports) width = std::max(width, p.name.size());
  for (const auto& p : ports) c.out << Padded(p.name, width + 2) << p.description << "\n";
  return kExitOk;
}

int RunInfo(Context& c) {
  Link link;
  int code = OpenPort(c, link);
  if (code == kExitOk) code = IdentifyController(c, link);
  if (code != kExitOk) return code;
  const std::size_t width = 30;
  c.out << Padded("Port", width) << c.args.port << "\n"
        << Padded("Identification", width) << HexBytes(link.image.blocks[0].data(), BlockLength(1)) << "\n"
        << Padded(Label(159), width) << ControllerVersion(link.image) << "\n";
  code = RequireVersion3(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {5});
  if (code == kExitOk) PrintServiceRecord(c.out, link.image, width);
  return code;
}

namespace {

// One setting as JSON: its raw byte and its value, or one value per field of a bit set.
std::string JsonSetting(Param p, const MemoryImage& image) {
  const Decoding d = DecodeSetting(p, image, EnglishTexts());
  // A JSON number has no plus sign ("+40 steps" is 40).
  auto value = [](const Field& f) {
    if (f.number.empty()) return JsonString(f.text);
    return f.number[0] == '+' ? f.number.substr(1) : f.number;
  };
  std::string out = "{\"raw\": " + std::to_string(Get(image, p));
  if (d.size() == 1 && d[0].label.empty()) {
    out += ", \"value\": " + value(d[0]);
    if (!d[0].unit.empty()) out += ", \"unit\": " + JsonString(d[0].unit);
    return out + "}";
  }
  out += ", \"fields\": {";
  for (std::size_t i = 0; i < d.size(); ++i)
    out += (i ? ", " : "") + JsonString(d[i].label) + ": " + value(d[i]);
  return out + "}}";
}

void PrintJson(Context& c, const MemoryImage& image) {
  std::ostream& o = c.out;
  o << "{\n  \"port\": " << JsonString(c.args.port) << ",\n  \"version\": "
    << JsonString(ControllerVersion(image)) << ",\n  \"settings\": {\n";
  for (std::size_t k = 0; k < kSettingsCount; ++k)
    o << "    " << JsonString(kParameters[k].name) << ": " << JsonSetting(kParameters[k].param, image)
      << (k + 1 < kSettingsCount ? ",\n" : "\n");
  o << "  },\n  \"service\": {\"registration\": " << JsonString(Registration(image))
    << ", \"running_time\": " << JsonString(RunningTimeText(image))
    << ", \"hours\": " << Word(image, Param::LpgHoursLo, Param::LpgHoursHi)
    << ", \"minutes\": " << unsigned{Get(image, Param::LpgMinutes)}
    << ", \"installation_date\": " << JsonString(InstallationDateText(image)) << "},\n";
  o << "  \"readings\": {";
  const auto names = LiveColumnNames();
  const auto values = LiveValues(image);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool text = values[i].empty() || names[i] == "tps_switch";
    o << (i ? ", " : "") << JsonString(names[i]) << ": "
      << (values[i].empty() ? "null" : text ? JsonString(values[i]) : values[i]);
  }
  o << "}\n}\n";
}

void PrintText(Context& c, const MemoryImage& image) {
  std::ostream& o = c.out;
  o << "Controller version " << ControllerVersion(image) << " on " << c.args.port << "\n\n"
    << Padded("Setting", 15) << "raw  value\n";
  for (std::size_t k = 0; k < kSettingsCount; ++k) {
    const ParameterRow& row = kParameters[k];
    char raw[8];
    std::snprintf(raw, sizeof raw, "%3u  ", unsigned{Get(image, row.param)});
    o << Padded(std::string(row.name), 15) << raw
      << ShownDecoding(DecodeSetting(row.param, image, EnglishTexts())) << "\n";
  }
  o << "\n";
  PrintServiceRecord(o, image, 30);
  o << "\nLive readings\n";
  const auto names = LiveColumnNames();
  const auto values = LiveValues(image);
  for (std::size_t i = 0; i < names.size(); ++i)
    o << "  " << Padded(names[i], 22) << (values[i].empty() ? "-" : values[i]) << "\n";
}

}  // namespace

int RunRead(Context& c) {
  Link link;
  int code = Connect(c, link);
  if (code == kExitOk) code = ReadBlocks(c, link, {2, 3, 4, 5});
  if (code != kExitOk) return code;
  if (c.args.json)
    PrintJson(c, link.image);
  else
    PrintText(c, link.image);
  return kExitOk;
}

}  // namespace kv::cli
