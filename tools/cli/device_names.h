// The device a port name given to --port opens, on each system. Plain string work, so that both
// are tested on any system.
#pragma once

#include <string>

namespace kv::cli {

// "ttyUSB0" stands for "/dev/ttyUSB0"; anything with a slash is a path.
std::string PosixDeviceName(const std::string& port);

// Windows reaches a serial port by its short name only up to COM9; the device namespace
// ("\\.\COM12") reaches every number and every other driver's name ("CNCA0"). So "COM7",
// "com7:", "CNCA0" get the prefix, a name that has it is kept, and a path (with a slash, a
// backslash or a drive colon) is left as it is.
std::string Win32DeviceName(const std::string& port);

}  // namespace kv::cli
