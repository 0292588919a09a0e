// kv720-cli on Windows: the USB serial adapter behind a COM port (SetupAPI) and its latency timer,
// the "LatencyTimer" value of the device's registry parameters that the driver of the common
// adapters reads when the adapter is plugged in.
#pragma once

#include <string>

#include "platform.h"

namespace kv::cli {

AdapterInfo DescribeWin32Adapter(const std::string& device);
// Writing the device's parameters needs an administrator; the value counts from the next plug-in.
LatencyResult SetWin32Latency(const std::string& device, int milliseconds);

}  // namespace kv::cli
