#include "device_names.h"

#include <algorithm>
#include <cctype>

namespace kv::cli {

std::string PosixDeviceName(const std::string& port) {
  return port.find('/') == std::string::npos ? "/dev/" + port : port;
}

std::string Win32DeviceName(const std::string& port) {
  if (port.rfind("\\\\", 0) == 0) return port;  // \\.\COM12, \\?\..., a share
  std::string name = port;
  if (name.size() > 1 && name.back() == ':') name.pop_back();  // "COM7:", as DOS wrote it
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return port;
  std::string upper = name;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  const bool com = upper.size() > 3 && upper.compare(0, 3, "COM") == 0 &&
                   std::all_of(upper.begin() + 3, upper.end(),
                               [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); });
  return "\\\\.\\" + (com ? upper : name);
}

}  // namespace kv::cli
