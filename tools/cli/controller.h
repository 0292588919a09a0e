// The steps every talking command starts with: open the port the user named (or say why it does
// not open), identify the controller, insist on version 3, and read blocks. A single missed
// reply is not an answer: each exchange is tried up to three times, as the link itself only
// gives up on the third missing identification.
#pragma once

#include <initializer_list>

#include "commands.h"
#include "link/link.h"

namespace kv::cli {

inline constexpr int kAttempts = 3;

// Opens the platform's port on `device` once it is known to be a serial port that can be opened.
PortProblem OpenChecked(Platform& platform, const std::string& device);
// Opens the port into the link. Returns kExitOk, or prints why not and returns kExitPort.
int OpenPort(Context& c, Link& link);
// Identifies the controller; kExitNoAnswer (printed) when it never answers.
int IdentifyController(Context& c, Link& link);
// kExitVersion (printed, with the version it reported) unless the controller is version 3.
int RequireVersion3(Context& c, const Link& link);
// The three above.
int Connect(Context& c, Link& link);
// Reads each block until its reply is accepted; prints which block failed and returns
// kExitNoAnswer, or kExitInterrupted on Ctrl+C.
int ReadBlocks(Context& c, Link& link, std::initializer_list<int> blocks);

}  // namespace kv::cli
