// kv720-cli on Windows: the Win32 serial port, ports from the SERIALCOMM map, Ctrl+C through the
// console's control handler.
#pragma once

#include <memory>

#include "platform.h"

namespace kv::cli {

// Why `device` does not open: missing, busy (Windows opens a port for one program at a time),
// or not a serial port.
PortProblem DiagnoseWin32Open(const std::string& device);
// The ports of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (present ports only) with their friendly
// names, by COM number.
std::vector<PortEntry> ListWin32Ports();

void InstallInterruptHandler();
std::unique_ptr<Platform> MakeWin32Platform();

}  // namespace kv::cli
