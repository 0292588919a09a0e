#include "shell/settings_file_win32.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <string>
#include <utility>

#include "files/file_store.h"
#include "files/restore_point_win32.h"
#include "files/settings_file_commands.h"
#include "files/text_win32.h"
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {
namespace {

// The common dialogs and message boxes, owned by the panel shown (the main window when there is
// none). Their modal loops keep dispatching the panel's poll timer.
class Win32SettingsFileUi final : public SettingsFileUi {
 public:
  // `firstFolder`: where the Open dialog starts the first time in a run (UTF-8).
  explicit Win32SettingsFileUi(std::string firstFolder = {}) : firstFolder_(std::move(firstFolder)) {}

  bool ChooseSavePath(std::string& path) override { return ChoosePath(true, path); }
  bool ChooseOpenPath(std::string& path) override { return ChoosePath(false, path); }

  bool ConfirmOverwrite() override {
    return Box(kOverwriteQuestion, {}, MB_YESNO | MB_ICONINFORMATION) == IDYES;
  }
  void Show(const FileMessage& message, const std::string& detail) override {
    Box(message, detail, MB_OK | MB_ICONEXCLAMATION);
  }

 private:
  static HWND Owner() {
    const App& app = TheApp();
    return app.panelWindow ? app.panelWindow : app.mainWindow;
  }

  static int Box(const FileMessage& message, const std::string& detail, UINT style) {
    const LanguageTexts& texts = TheProgram().texts;
    return MessageBoxW(Owner(), Widen(FileMessageText(message, texts, detail)).c_str(),
                       Widen(FileMessageCaption(message, texts)).c_str(), style);
  }

  // The first Open dialog of a run starts in the folder that holds the restore points. Windows
  // would otherwise open Documents or the folder last used (it remembers that between runs, and
  // even ignores lpstrInitialDir when it equals the one given on the program's first use, so the
  // folder is also given as the initial file name, which comes before it).
  bool StartInFirstFolder(wchar_t* file) {
    static bool opened = false;
    if (opened || firstFolder_.empty()) return false;
    opened = true;
    std::wstring folder = Widen(firstFolder_);
    if (folder.back() != L'\\') folder += L'\\';
    if (folder.size() >= MAX_PATH) return false;
    lstrcpynW(file, folder.c_str(), MAX_PATH);
    return true;
  }

  // Explorer style, a path of at most 259 characters. The current directory is put back to the
  // start directory afterwards: Windows keeps the current directory open, so a USB stick chosen
  // in the dialog could not be safely removed, and OFN_NOCHANGEDIR is not honoured by the Open
  // dialog. A path too long for the buffer is told, not taken for Cancel.
  bool ChoosePath(bool save, std::string& path) {
    static const wchar_t kFilter[] = L"TOLMAR KV720 settings (*.bs2)\0*.bs2\0";
    wchar_t file[MAX_PATH] = {};
    const std::wstring title =
        Widen(TheProgram().texts[save ? kSaveDialogTitle : kOpenDialogTitle]);
    const std::wstring first = !save && StartInFirstFolder(file) ? std::wstring(file) : L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = first.empty() ? nullptr : first.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"bs2";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    const DWORD error = chosen ? 0 : CommDlgExtendedError();
    SetCurrentDirectoryW(Widen(TheProgram().settings.startDirectory).c_str());
    if (error == FNERR_BUFFERTOOSMALL) Show(kPathTooLongMessage, {});
    if (!chosen) return false;
    path = Narrow(file);
    return true;
  }

  std::string firstFolder_;
};

}  // namespace

void RunOpenCommand() {
  SystemFileStore files;
  const RestorePoints points = ProgramRestorePoints(files, TheProgram().settings);
  Win32SettingsFileUi ui(RestorePointsHome(points));
  OpenSettingsFile(TheProgram().link, files, ui, points, TheProgram().texts);
}

void RunSaveAsCommand() {
  SystemFileStore files;
  Win32SettingsFileUi ui;
  SaveSettingsFileAs(TheProgram().link, files, ui);
}

}  // namespace kv
