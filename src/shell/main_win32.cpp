// Entry point of KV720.exe: start-up, the main window and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "files/fault_log.h"
#include "files/settings.h"
#include "files/text_win32.h"
#include "link/serial_port_win32.h"
#include "oscilloscope/oscilloscope.h"
#include "resource.h"
#include "shell/main_window_win32.h"
#include "shell/one_program_win32.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/guard_win32.h"

namespace {

// The folder KV720.exe lies in (UTF-8, with its trailing separator, so a drive's root stays
// C:\ and never becomes the drive's current folder "C:"); empty when it cannot be read.
std::string ProgramFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : kv::Narrow(path.substr(0, slash + 1));
}

// The start directory. Started from the Start menu's search, Win+R or a shortcut without a
// working folder, the program's own folder is used, and made current so that the file dialogs
// open there as well.
std::string StartDirectory() {
  const std::string current = kv::CurrentDirectory();
  const std::string chosen = kv::ChooseStartDirectory(current, ProgramFolder());
  if (chosen != current) SetCurrentDirectoryW(kv::Widen(chosen).c_str());
  return chosen;
}

// A path in its long form (a temporary folder is often given in 8.3 form, C:\Users\FITTER~1\...),
// so that two spellings of one folder compare equal; as given when it cannot be looked up.
std::wstring LongPath(const std::wstring& path) {
  std::wstring longPath(32768, L'\0');
  const DWORD length =
      GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
  if (length == 0 || length >= longPath.size()) return path;
  longPath.resize(length);
  return longPath;
}

std::string TemporaryFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length == 0 || length > MAX_PATH ? std::string() : kv::Narrow(LongPath(path));
}

// %LOCALAPPDATA%\KV720: the user's own folder, which Windows neither deletes nor protects.
std::string UserFolder() {
  PWSTR folder = nullptr;
  std::string path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)))
    path = kv::Narrow(std::wstring(folder) + L"\\KV720");
  CoTaskMemFree(folder);
  return path;
}

bool LanguageFolderBesideProgram() {
  const DWORD attributes = GetFileAttributesW(kv::Widen(ProgramFolder() + "Lang").c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void NoteWhereFilesLast(kv::ProgramSettings& settings) {
  settings.userFolder = UserFolder();
  settings.temporaryStart = kv::StartedFromTemporaryFolder(
      kv::Narrow(LongPath(kv::Widen(settings.startDirectory))), TemporaryFolder(),
      LanguageFolderBesideProgram());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (kv::BringRunningProgramToFront(instance)) return 0;
  kv::Win32SerialPort port;
  auto program = std::make_unique<kv::Program>();
  program->link.port = &port;
  kv::App& app = kv::TheApp();
  app.program = program.get();
  app.instance = instance;

  // Progress bars and trackbars are created from templates; Windows registers their classes only
  // on this call (Wine registers them anyway).
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  // Start-up initialiser: every file of the program is found from the directory it started in,
  // whatever a file dialog later makes current.
  program->settings.startDirectory = StartDirectory();
  NoteWhereFilesLast(program->settings);
  kv::TheFaultLog().directory = program->settings.startDirectory;
  kv::TheFaultLog().sink = kv::SendFaultToDebugger;
  kv::ResetOscilloscopeHistory(program->oscilloscope);

  if (!kv::RegisterMainWindowClass(instance)) return 0;
  HWND window = kv::CreateMainWindow(instance);
  if (!window) return 0;
  ShowWindow(window, show);
  UpdateWindow(window);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window, accelerators, &msg)) continue;
    // The panels are child dialogs: Tab, the arrows and mnemonics work as in any dialog.
    if (app.panelWindow && IsDialogMessageW(app.panelWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  kv::ClosePort(program->link);
  app.program = nullptr;
  return static_cast<int>(msg.wParam);
}
