// The control channel's command language: one command a line, one reply line, "ok ..." or
// "error ...". The same interpreter serves the control socket and the --exec start-up option.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "controller.h"

namespace kv::sim {

// What the commands change outside the controller: the line pacing, the frame log, the loop.
struct Host {
  bool pacing = true;
  Micros delay = 2000;                      // processing delay before a reply
  Micros latency = 0;                       // USB adapter latency timer; 0 = no adapter
  std::function<bool()> clearLog;           // empties the frame log; false on failure
  bool quit = false;                        // set by `quit`
};

std::string RunControl(Controller& controller, Host& host, std::string_view line, Micros now);

// Hex bytes in upper case separated by single spaces, as the frame log writes them.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

// One line per command, for --help.
const char* ControlHelp();

}  // namespace kv::sim
