// The commands of kv720-cli. Each prints its results on `out`, one-line errors on `err`, and
// returns its exit code (cli.h).
#pragma once

#include <ostream>

#include "cli.h"
#include "platform.h"

namespace kv::cli {

struct Context {
  const Arguments& args;
  Platform& platform;
  std::ostream& out;
  std::ostream& err;
};

// Parses the words (without the program name) and runs the command.
int RunCli(const std::vector<std::string>& args, const std::string& environmentPort,
           Platform& platform, std::ostream& out, std::ostream& err);

int RunPorts(Context& c);
int RunInfo(Context& c);
int RunRead(Context& c);
int RunSave(Context& c);
int RunLoad(Context& c);
int RunDiff(Context& c);
int RunRecord(Context& c);
int RunWatch(Context& c);
int RunDoctor(Context& c);
int RunPlot(Context& c);

// "kv720-cli: " and the message on `err`; returns `code`.
int Fail(Context& c, int code, const std::string& message);

}  // namespace kv::cli
