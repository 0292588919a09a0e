#include <cmath>
#include <cstdlib>

#include "cli.h"

namespace kv::cli {
namespace {

struct CommandEntry {
  Command command;
  const char* name;
  bool needsPort;
  int files;  // exact number of file operands
};

constexpr CommandEntry kCommands[] = {
    {Command::Help, "help", false, 0},   {Command::Ports, "ports", false, 0},
    {Command::Info, "info", true, 0},    {Command::Read, "read", true, 0},
    {Command::Save, "save", true, 1},    {Command::Load, "load", true, 1},
    {Command::Diff, "diff", false, 2},   {Command::Record, "record", true, 1},
    {Command::Watch, "watch", true, 0},  {Command::Doctor, "doctor", true, 0},
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

// What one pass over the words found; options may stand before or after the command.
struct Words {
  const CommandEntry* entry = nullptr;
  std::vector<std::string> operands;
  bool help = false, version = false, json = false, dryRun = false, secondsGiven = false,
       backupsGiven = false;
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
  } else if (word == "--dry-run" || word == "-n") {
    w.dryRun = true;
  } else if (Named(word, "--seconds")) {
    w.secondsGiven = true;
    if (OptionValue(args, i, "--seconds", value, error) && !ParseSeconds(value, w.seconds))
      error = "--seconds needs a positive number of seconds, not \"" + value + "\"";
  } else if (Named(word, "--backups")) {
    w.backupsGiven = true;
    if (OptionValue(args, i, "--backups", value, error)) a.backups = value;
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
  if (w.secondsGiven && command != Command::Record)
    return "option --seconds is for record, not " + name;
  return {};
}

std::string OperandCountError(const CommandEntry& entry, std::size_t given) {
  const std::string name = entry.name;
  if (entry.files == 0) return name + " takes no file";
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
  if (result.error.empty() && w.operands.size() != static_cast<std::size_t>(w.entry->files))
    result.error = OperandCountError(*w.entry, w.operands.size());
  if (!result.error.empty()) return result;
  a.files = w.operands;
  a.json = w.json;
  a.dryRun = w.dryRun;
  if (w.secondsGiven) a.seconds = w.seconds;
  if (a.port.empty()) a.port = environmentPort;
  if (w.entry->needsPort && a.port.empty())
    result.error = "no port given: use --port PORT (kv720-cli ports lists them) or set KV720_PORT";
  return result;
}

}  // namespace kv::cli
