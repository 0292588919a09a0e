// One program at a time. Two programs on one serial port take each other's replies, and the
// second one's "no connection" shows on top of the working one.
#pragma once

#include <windows.h>

namespace kv {

// At start-up: when a KV720 window already runs in this session, brings it to the front (restored
// when minimised, with its message box or dialog on top) and returns true; the caller then ends.
// Otherwise marks this program as the running one (for the rest of its life) and returns false.
bool BringRunningProgramToFront(HINSTANCE instance);

}  // namespace kv
