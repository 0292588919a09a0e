#include <cmath>
#include <cstdlib>

#include "cli.h"

namespace kv::cli {
namespace {

struct CommandEntry {
  Command command;
  const char* name;
  bool needsPort;
  int files;     // number of file operands
  int moreFiles; // how many more may follow
};

constexpr CommandEntry kCommands[] = {
    {Command::Help, "help", false, 0, 0},    {Command::Ports, "ports", false, 0, 0},
    {Command::Info, "info", true, 0, 0},     {Command::Read, "read", true, 0, 0},
    {Command::Save, "save", true, 1, 0},     {Command::Load, "load", true, 1, 0},
    {Command::Diff, "diff", false, 2, 0},    {Command::Record, "record", true, 0, 1},
    {Command::Watch, "watch", true, 0, 0},   {Command::Doctor, "doctor", true, 0, 0},
    {Command::Plot, "plot", false, 1, 99},
};

const CommandEntry* FindCommand(const std::string& name) {
  for (const auto& entry : kCommands)
    if (name == entry.name) return &entry;
  return nullptr;
}

const CommandEntry& EntryOf(Command command) {
  for (const auto& entry : kCommands)
    if (entry.command == command) return entry;
  return kCommands[0];
}

// A positive, finite number of seconds; a year at most, so the arithmetic never overflows.
bool ParseSeconds(const std::string& text, double& seconds) {
  if (text.empty()) return false;
  char* end = nullptr;
  seconds = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && std::isfinite(seconds) && seconds > 0 && seconds <= 366 * 86400.0;
}

// "start" or "marker:N" with N a marker number from 1.
bool ParseAlign(const std::string& text, int& marker) {
  if (text == "start") return marker = 0, true;
  if (text.rfind("marker:", 0) != 0 || text.size() == 7 || text.size() > 12) return false;
  for (std::size_t i = 7; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  marker = std::atoi(text.c_str() + 7);
  return marker > 0;
}

// What one pass over the words found; options may stand before or after the command.
struct Words {
  const CommandEntry* entry = nullptr;
  std::vector<std::string> operands;
  bool help = false, version = false, json = false, dryRun = false, secondsGiven = false,
       backupsGiven = false, separatorGiven = false, outputGiven = false, alignGiven = false,
       fixLatency = false;
  double seconds = 0;
};

// "--name=value" or "--name value".
bool OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                 std::string& value, std::string& error) {
  const std::string& word = args[i];
  if (word.size() > name.size() && word.compare(0, name.size() + 1, name + "=") == 0) {
    value = word.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    error = "option " + name + " needs a value";
    return false;
  }
  if (value.empty()) error = "option " + name + " needs a value";
  return error.empty();
}

bool Named(const std::string& word, const std::string& name) {
  return word == name || word.compare(0, name.size() + 1, name + "=") == 0;
}

void TakeOption(const std::vector<std::string>& args, std::size_t& i, Words& w, Arguments& a,
                std::string& error) {
  const std::string& word = args[i];
  std::string value;
  if (word == "--help" || word == "-h") {
    w.help = true;
  } else if (word == "--version") {
    w.version = true;
  } else if (Named(word, "--port") || word == "-p") {
    if (OptionValue(args, i, word == "-p" ? "-p" : "--port", value, error)) a.port = value;
  } else if (word == "--json") {
    w.json = true;
  } else if (word == "--fix-latency") {
    w.fixLatency = true;
  } else if (word == "--dry-run" || word == "-n") {
    w.dryRun = true;
  } else if (Named(word, "--seconds")) {
    w.secondsGiven = true;
    if (OptionValue(args, i, "--seconds", value, error) && !ParseSeconds(value, w.seconds))
      error = "--seconds needs a positive number of seconds, not \"" + value + "\"";
  } else if (Named(word, "--backups")) {
    w.backupsGiven = true;
    if (OptionValue(args, i, "--backups", value, error)) a.backups = value;
  } else if (Named(word, "--separator")) {
    w.separatorGiven = true;
    if (OptionValue(args, i, "--separator", value, error) && value != "," && value != ";")
      error = "--separator is ',' or ';', not \"" + value + "\"";
    if (error.empty()) a.separator = value[0];
  } else if (Named(word, "--output") || word == "-o") {
    w.outputGiven = true;
    if (OptionValue(args, i, word == "-o" ? "-o" : "--output", value, error)) a.output = value;
  } else if (Named(word, "--align")) {
    w.alignGiven = true;
    if (OptionValue(args, i, "--align", value, error) && !ParseAlign(value, a.alignMarker))
      error = "--align is start or marker:N, not \"" + value + "\"";
  } else {
    error = "unknown option " + word;
  }
}

Words ReadWords(const std::vector<std::string>& args, Arguments& a, std::string& error) {
  Words w;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& word = args[i];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
      TakeOption(args, i, w, a, error);
    } else if (!w.entry) {
      w.entry = FindCommand(word);
      if (!w.entry) error = "unknown command \"" + word + "\"";
    } else {
      w.operands.push_back(word);
    }
  }
  return w;
}

// An option given to a command that has no use for it is a mistake worth stopping at.
std::string MisplacedOption(const Words& w, Command command) {
  const std::string name = CommandName(command);
  if (w.json && command != Command::Read) return "option --json is for read, not " + name;
  if (w.dryRun && command != Command::Load) return "option --dry-run is for load, not " + name;
  if (w.backupsGiven && command != Command::Load) return "option --backups is for load, not " + name;
  if (w.fixLatency && command != Command::Doctor)
    return "option --fix-latency is for doctor, not " + name;
  if (w.secondsGiven && command != Command::Record)
    return "option --seconds is for record, not " + name;
  if (w.separatorGiven && command != Command::Record)
    return "option --separator is for record, not " + name;
  if (w.outputGiven && command != Command::Plot) return "option --output is for plot, not " + name;
  if (w.alignGiven && command != Command::Plot) return "option --align is for plot, not " + name;
  return {};
}

bool OperandCountFits(const CommandEntry& entry, std::size_t given) {
  return given >= static_cast<std::size_t>(entry.files) &&
         given <= static_cast<std::size_t>(entry.files + entry.moreFiles);
}

std::string OperandCountError(const CommandEntry& entry, std::size_t given) {
  const std::string name = entry.name;
  if (entry.files + entry.moreFiles == 0) return name + " takes no file";
  if (entry.command == Command::Plot) return "plot needs one or more recordings (.csv)";
  const char* what = entry.command == Command::Diff     ? "two settings files (A.bs2 B.bs2)"
                     : entry.command == Command::Record ? "one CSV file"
                                                       : "one settings file (.bs2)";
  return name + (given < static_cast<std::size_t>(entry.files) ? " needs " : " takes only ") + what;
}

}  // namespace

const char* CommandName(Command command) { return EntryOf(command).name; }

// "kv720-cli --help" and "kv720-cli help [COMMAND]"; a bare "kv720-cli" is a usage error.
void HelpRequest(const Words& w, ParseResult& result) {
  if (!w.entry && !w.help) {
    result.error = "no command given";
    return;
  }
  result.arguments.command = Command::Help;
  if (w.operands.empty()) return;
  const CommandEntry* about = FindCommand(w.operands[0]);
  if (!about || w.operands.size() > 1) {
    result.error = "help takes one command name";
    return;
  }
  result.arguments.helpFor = about->command;
}

ParseResult ParseArguments(const std::vector<std::string>& args,
                           const std::string& environmentPort) {
  ParseResult result;
  Arguments& a = result.arguments;
  const Words w = ReadWords(args, a, result.error);
  if (!result.error.empty()) return result;
  if (w.version) {
    a.command = Command::Version;
    return result;
  }
  if (!w.entry || w.entry->command == Command::Help) {
    HelpRequest(w, result);
    return result;
  }
  if (w.help) {
    a.command = Command::Help;
    a.helpFor = w.entry->command;
    return result;
  }
  a.command = w.entry->command;
  result.error = MisplacedOption(w, a.command);
  if (result.error.empty() && !OperandCountFits(*w.entry, w.operands.size()))
    result.error = OperandCountError(*w.entry, w.operands.size());
  if (!result.error.empty()) return result;
  a.files = w.operands;
  a.json = w.json;
  a.dryRun = w.dryRun;
  a.fixLatency = w.fixLatency;
  if (w.secondsGiven) a.seconds = w.seconds;
  if (a.port.empty()) a.port = environmentPort;
  if (w.entry->needsPort && a.port.empty())
    result.error = "no port given: use --port PORT (kv720-cli ports lists them) or set KV720_PORT";
  return result;
}

}  // namespace kv::cli
