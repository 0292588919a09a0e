#include "adapter_win32.h"

#include <windows.h>
#include <setupapi.h>

#include <cctype>

#include "files/text_win32.h"

namespace kv::cli {
namespace {

// The class of ports (COM and LPT).
constexpr GUID kPorts = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The driver service of the common adapters with a latency timer.
constexpr wchar_t kLatencyDriver[] = L"FTSER2K";

constexpr char kDeviceManagerSteps[] =
    "Device Manager > Ports (COM & LPT) > the adapter > Properties > Port Settings > Advanced > "
    "Latency Timer (msec): 1, OK; then replug the adapter";

// "\\.\COM7" or "COM7:" -> "COM7".
std::wstring PortName(const std::string& device) {
  std::string name = device.rfind("\\\\.\\", 0) == 0 ? device.substr(4) : device;
  if (!name.empty() && name.back() == ':') name.pop_back();
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return Widen(name);
}

std::wstring Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  wchar_t text[512] = {};
  if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                         reinterpret_cast<BYTE*>(text),
                                         sizeof text - 2 * sizeof(wchar_t), nullptr))
    return {};
  return text;  // of a list (the hardware ids) the first entry
}

// "USB\VID_0403&PID_6001&REV_0600" or "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000" -> "0403:6001".
std::string UsbIds(const std::wstring& hardwareId) {
  const auto vid = hardwareId.find(L"VID_"), pid = hardwareId.find(L"PID_");
  if (vid == std::wstring::npos || pid == std::wstring::npos) return {};
  return Narrow(hardwareId.substr(vid + 4, 4) + L":" + hardwareId.substr(pid + 4, 4));
}

// Runs `use` on the present port device named `port` with its parameters key opened for
// `access`; false when there is no such device. `opened` tells whether the key opened.
template <typename Use>
bool WithPortDevice(const std::wstring& port, REGSAM access, Use use) {
  HDEVINFO set = SetupDiGetClassDevsW(&kPorts, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  bool found = false;
  for (DWORD i = 0; !found && SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t), type = 0;
    found = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ && _wcsicmp(name, port.c_str()) == 0;
    RegCloseKey(key);
    if (!found) continue;
    HKEY parameters = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, access);
    const DWORD error = parameters == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    use(set, device, parameters, error);
    if (parameters != INVALID_HANDLE_VALUE) RegCloseKey(parameters);
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

AdapterInfo Describe(HDEVINFO set, SP_DEVINFO_DATA& d, HKEY parameters) {
  AdapterInfo a;
  a.known = true;
  std::wstring name = Property(set, d, SPDRP_FRIENDLYNAME);
  const std::wstring maker = Property(set, d, SPDRP_MFG);
  if (!maker.empty() && name.rfind(maker, 0) != 0) name = maker + L" " + name;
  a.name = Narrow(name);
  if (const std::string ids = UsbIds(Property(set, d, SPDRP_HARDWAREID)); !ids.empty())
    a.name += " (USB " + ids + ")";
  DWORD value = 0, size = sizeof value, type = 0;
  const bool stored = parameters != INVALID_HANDLE_VALUE &&
                      RegQueryValueExW(parameters, L"LatencyTimer", nullptr, &type,
                                       reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                      type == REG_DWORD;
  a.latencyTimer = stored || _wcsicmp(Property(set, d, SPDRP_SERVICE).c_str(), kLatencyDriver) == 0;
  if (stored) a.latencyMs = static_cast<int>(value);
  if (a.latencyTimer) a.setToOne = kDeviceManagerSteps;
  return a;
}

}  // namespace

AdapterInfo DescribeWin32Adapter(const std::string& device) {
  AdapterInfo a;
  a.setToOne = kDeviceManagerSteps;
  WithPortDevice(PortName(device), KEY_READ,
                 [&](HDEVINFO set, SP_DEVINFO_DATA& d, HKEY parameters, DWORD) {
                   a = Describe(set, d, parameters);
                 });
  return a;
}

LatencyResult SetWin32Latency(const std::string& device, int milliseconds) {
  LatencyResult result{LatencyChange::Impossible,
                       "Windows does not say which adapter this port is; if it is a USB adapter: " +
                           std::string(kDeviceManagerSteps) + "."};
  WithPortDevice(PortName(device), KEY_READ | KEY_SET_VALUE,
                 [&](HDEVINFO, SP_DEVINFO_DATA&, HKEY parameters, DWORD error) {
                   if (error == ERROR_ACCESS_DENIED) {
                     result = {LatencyChange::NotAllowed,
                               "Only an administrator may: open the Start menu, right-click "
                               "Command Prompt, \"Run as administrator\", and run this command "
                               "there again (then unplug the adapter and plug it in again); or " +
                                   std::string(kDeviceManagerSteps) + "."};
                     return;
                   }
                   const DWORD value = static_cast<DWORD>(milliseconds);
                   if (parameters == INVALID_HANDLE_VALUE ||
                       RegSetValueExW(parameters, L"LatencyTimer", 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&value),
                                      sizeof value) != ERROR_SUCCESS) {
                     result = {LatencyChange::Impossible,
                               "The adapter's settings could not be written; " +
                                   std::string(kDeviceManagerSteps) + "."};
                     return;
                   }
                   result = {LatencyChange::AfterReplug,
                             "Unplug the adapter and plug it in again: its driver reads the "
                             "timer then. Run doctor again to see the difference."};
                 });
  return result;
}

}  // namespace kv::cli
