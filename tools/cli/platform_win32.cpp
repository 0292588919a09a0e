#include "platform_win32.h"

#include <windows.h>
#include <mmsystem.h>
#include <setupapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>

#include "adapter_win32.h"
#include "device_names.h"
#include "files/file_store.h"
#include "files/text_win32.h"
#include "link/bounded_open_win32.h"
#include "link/serial_port_win32.h"

namespace kv::cli {
namespace {

// A Bluetooth port may take seconds to reach its device; a driver that never finishes an open
// must not hold the command line for ever either.
constexpr DWORD kOpenWaitMs = 10000;

std::atomic<bool> interrupted{false};
std::atomic<bool> holding{false};
std::atomic<bool> fineClock{false};
// Signalled while no writes run: the console handler waits on it.
HANDLE notHolding = CreateEventW(nullptr, TRUE, TRUE, nullptr);

void EndFineClock() {
  if (fineClock.exchange(false)) timeEndPeriod(1);
}

// Runs on a thread of its own. Returning FALSE lets the default handler end the program, and
// after a closed console window, a log-off or a shutdown Windows ends it as soon as this returns
// (about 5 s after the close at the latest): while writes run, it waits for the last of them.
BOOL WINAPI OnConsoleControl(DWORD event) {
  const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
                       event == CTRL_SHUTDOWN_EVENT;
  const bool first = !interrupted.exchange(true);
  if (holding.load()) {
    if (closing) WaitForSingleObject(notHolding, INFINITE);
    return TRUE;
  }
  // A second Ctrl+C is not asked twice: the default handler ends the program.
  if (first && !closing) return TRUE;
  EndFineClock();  // the program ends without unwinding
  return FALSE;
}

// "\\.\COM12" -> "COM12", for messages.
std::string Shown(const std::string& device) {
  return device.rfind("\\\\.\\", 0) == 0 ? device.substr(4) : device;
}

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = text ? Narrow(text) : "error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.' || message.back() == ' '))
    message.pop_back();
  return message;
}

// The class of ports (COM and LPT): {4D36E978-E325-11CE-BFC1-08002BE10318}.
constexpr GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::wstring RegistryText(HKEY key, const wchar_t* name) {
  wchar_t value[256] = {};
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return value;
}

// Friendly names of the present ports ("USB Serial Port (COM7)"), by port name.
std::map<std::wstring, std::wstring> FriendlyNames() {
  std::map<std::wstring, std::wstring> names;
  HDEVINFO set = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const std::wstring port = RegistryText(key, L"PortName");
    RegCloseKey(key);
    wchar_t friendly[256] = {};
    if (!port.empty() &&
        SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly),
                                          sizeof friendly - sizeof(wchar_t), nullptr))
      names[port] = friendly;
  }
  SetupDiDestroyDeviceInfoList(set);
  return names;
}

int PortNumber(const std::string& name) {
  return name.size() > 3 ? std::atoi(name.c_str() + 3) : 0;
}

// What a reader thread took from a redirected standard input (a pipe, a file, Wine's Unix
// descriptors), where ReadFile waits for bytes. Never freed: the thread may still be waiting when
// the program ends, and ends with it.
struct InputBytes {
  SRWLOCK lock = SRWLOCK_INIT;
  std::string bytes;
};

DWORD WINAPI ReadInput(void* context) {
  auto* input = static_cast<InputBytes*>(context);
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(in, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    AcquireSRWLockExclusive(&input->lock);
    input->bytes.append(buffer, read);
    ReleaseSRWLockExclusive(&input->lock);
  }
  return 0;
}

// Standard input, read without waiting: a console's key presses from its input records (which
// neither echo nor wait for Enter, whatever the console's mode), anything else through a reader
// thread.
class KeyReader {
 public:
  std::string Take() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (closed_ || in == nullptr || in == INVALID_HANDLE_VALUE) return {};
    if (GetConsoleMode(in, &mode)) return ConsoleKeys(in);
    if (!input_) {
      input_ = new InputBytes;
      HANDLE thread = CreateThread(nullptr, 0, ReadInput, input_, 0, nullptr);
      if (!thread) return closed_ = true, std::string();
      CloseHandle(thread);
    }
    std::string bytes;
    AcquireSRWLockExclusive(&input_->lock);
    bytes.swap(input_->bytes);
    ReleaseSRWLockExclusive(&input_->lock);
    return bytes;
  }

 private:
  std::string ConsoleKeys(HANDLE in) {
    std::wstring typed;
    DWORD waiting = 0;
    while (GetNumberOfConsoleInputEvents(in, &waiting) && waiting > 0) {
      INPUT_RECORD records[32];
      DWORD read = 0;
      if (!ReadConsoleInputW(in, records, 32, &read) || read == 0) break;
      for (DWORD i = 0; i < read; ++i) {
        const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
        if (records[i].EventType != KEY_EVENT || !key.bKeyDown || key.uChar.UnicodeChar == 0) continue;
        typed.append(key.wRepeatCount ? key.wRepeatCount : 1,
                     key.uChar.UnicodeChar == L'\r' ? L'\n' : key.uChar.UnicodeChar);
      }
    }
    return Narrow(typed);
  }
  InputBytes* input_ = nullptr;
  bool closed_ = false;
};

class Win32Platform final : public Platform {
 public:
  SerialPort& Port() override { return port_; }
  FileStore& Files() override { return files_; }
  std::string DeviceName(const std::string& port) const override { return Win32DeviceName(port); }
  PortProblem DiagnoseOpen(const std::string& device) override { return DiagnoseWin32Open(device); }
  std::vector<PortEntry> ListPorts() override { return ListWin32Ports(); }
  AdapterInfo DescribeAdapter(const std::string& device) override {
    return DescribeWin32Adapter(device);
  }
  LatencyResult SetLatencyTimer(const std::string& device, int milliseconds) override {
    return SetWin32Latency(device, milliseconds);
  }
  bool Interrupted() const override { return interrupted.load(); }
  void HoldInterrupts(bool hold) override {
    if (hold) {
      ResetEvent(notHolding);
      holding = true;
    } else {
      holding = false;
      SetEvent(notHolding);
    }
  }
  void FineClock(bool on) override {
    if (!on) return EndFineClock();
    if (!fineClock.exchange(true)) timeBeginPeriod(1);
  }
  LocalTime Now() const override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
  }
  std::string DefaultBackupFolder() const override {
    // Beside the program, where the window program keeps its settings and restore points.
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    const auto slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash);
    return Narrow(folder) + "\\Backups";
  }
  bool OutputIsTerminal() const override { return IsConsole(STD_OUTPUT_HANDLE); }
  bool ErrorsAreTerminal() const override { return IsConsole(STD_ERROR_HANDLE); }
  std::string TypedKeys() override { return keys_.Take(); }
  std::FILE* CreateRecording(const std::string& path, bool replace) override {
    // Others may read the file while it grows (a viewer opened on a copy, a backup program).
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           replace ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
      CloseHandle(h);
      return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
  }
  bool SyncRecording(std::FILE* file) override {
    return std::fflush(file) == 0 &&
           FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
  }

 private:
  KeyReader keys_;
  static bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
  }
  Win32SerialPort port_{kOpenWaitMs};
  SystemFileStore files_;
};

}  // namespace

PortProblem DiagnoseWin32Open(const std::string& device) {
  BoundedOpen opener;
  DWORD error = 0;
  HANDLE h = opener.Open(device, kOpenWaitMs, error);
  if (h == INVALID_HANDLE_VALUE) {
    const std::string name = Shown(device);
    if (error == ERROR_TIMEOUT)
      return {PortTrouble::Other, name + " does not finish opening: its driver hangs (a Bluetooth "
                                         "device out of reach? unplug the adapter and plug it in "
                                         "again)"};
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return {PortTrouble::Missing,
              name + " does not exist (kv720-cli ports lists this machine's serial ports)"};
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
      return {PortTrouble::Busy, name + " is in use by another program (the KV720 window, a "
                                        "terminal program or another kv720-cli?)"};
    return {PortTrouble::Other, "cannot open " + name + ": " + SystemMessage(error)};
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  const bool serial = GetCommState(h, &dcb) != 0;
  CloseHandle(h);
  if (!serial)
    return {PortTrouble::NotSerial, Shown(device) + " is not a working serial port (nothing is "
                                                    "connected behind the name)"};
  return {};
}

std::vector<PortEntry> ListWin32Ports() {
  std::vector<PortEntry> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return ports;
  const auto friendly = FriendlyNames();
  for (DWORD i = 0;; ++i) {
    wchar_t device[256] = {}, port[64] = {};
    DWORD deviceSize = 255, portSize = sizeof port - sizeof(wchar_t), type = 0;
    const LONG result = RegEnumValueW(key, i, device, &deviceSize, nullptr, &type,
                                      reinterpret_cast<BYTE*>(port), &portSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    const auto named = friendly.find(port);
    std::string description = named != friendly.end() ? Narrow(named->second) + "  " : "";
    ports.push_back({Narrow(port), description + Narrow(device)});
  }
  RegCloseKey(key);
  std::sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
    return PortNumber(a.name) != PortNumber(b.name) ? PortNumber(a.name) < PortNumber(b.name)
                                                    : a.name < b.name;
  });
  return ports;
}

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

std::unique_ptr<Platform> MakeWin32Platform() { return std::make_unique<Win32Platform>(); }

}  // namespace kv::cli
