// kv720-cli: the controller from a terminal. The command line, the exit codes and the one entry
// every platform's main() calls; the commands themselves live in commands.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kv::cli {

// Documented in the help text and the README; scripts rely on them, so they never change.
enum ExitCode : int {
  kExitOk = 0,
  kExitDifferent = 1,    // diff: the two files differ
  kExitUsage = 2,        // unknown command or option, missing or extra argument
  kExitPort = 3,         // the port cannot be opened
  kExitNoAnswer = 4,     // the controller does not answer, or a block was not read
  kExitVersion = 5,      // the controller answers but is not version 3
  kExitMismatch = 6,     // not a KV720 settings file
  kExitWriteFailed = 7,  // a write was not acknowledged or not echoed
  kExitFile = 8,         // a file cannot be read or written (a restore point included)
  kExitInterrupted = 130 // Ctrl+C before the command finished
};

enum class Command { Help, Ports, Info, Read, Save, Load, Diff, Record, Watch, Doctor, Plot, Version };

struct Arguments {
  Command command = Command::Help;
  std::optional<Command> helpFor;  // `help read`, `read --help`
  std::string port;                // as given; empty when neither --port nor KV720_PORT
  bool json = false;               // read
  bool dryRun = false;             // load
  std::optional<double> seconds;   // record
  bool fixLatency = false;         // doctor: set the adapter's latency timer to 1 ms
  std::string backups;             // load: restore point folder, empty for the default
  char separator = ',';            // record: ',' or ';' (with a decimal comma)
  std::string output;              // plot: the page, empty for the first file's name as .html
  int alignMarker = 0;             // plot: files aligned at this marker, 0 at their start
  std::vector<std::string> files;  // save, load: one; record: none or one; diff: two; plot: 1+
};

struct ParseResult {
  Arguments arguments;
  std::string error;  // non-empty: a usage error, one line
};

// `args` excludes the program name. `environmentPort` is KV720_PORT (empty when unset).
ParseResult ParseArguments(const std::vector<std::string>& args,
                           const std::string& environmentPort = {});

// The whole help text, or the help of one command.
std::string HelpText();
std::string CommandHelp(Command command);
const char* CommandName(Command command);

}  // namespace kv::cli
