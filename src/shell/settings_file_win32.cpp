#include "shell/settings_file_win32.h"

#include <windows.h>
#include <commdlg.h>

#include "shell/file_store.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/restore_point_win32.h"
#include "shell/settings_file_commands.h"
#include "ui/text_win32.h"

namespace kv {
namespace {

// The common dialogs and message boxes, owned by the panel shown (the main window when there is
// none). Their modal loops keep dispatching the panel's poll timer.
class Win32SettingsFileUi final : public SettingsFileUi {
 public:
  bool ChooseSavePath(std::string& path) override { return ChoosePath(true, path); }
  bool ChooseOpenPath(std::string& path) override { return ChoosePath(false, path); }

  bool ConfirmOverwrite() override {
    return Box(kOverwriteQuestion, MB_YESNO | MB_ICONINFORMATION) == IDYES;
  }
  void Show(const FileMessage& message) override { Box(message, MB_OK | MB_ICONEXCLAMATION); }

 private:
  static HWND Owner() {
    const App& app = TheApp();
    return app.panelWindow ? app.panelWindow : app.mainWindow;
  }

  static int Box(const FileMessage& message, UINT style) {
    const LanguageTexts& texts = TheProgram().texts;
    return MessageBoxW(Owner(), Widen(texts[message.text]).c_str(),
                       Widen(FileMessageCaption(message, texts)).c_str(), style);
  }

  // Explorer style, an empty initial name, the dialog's own initial folder and a path of at most
  // 259 characters. Choosing a file moves the current directory to its folder (the program's
  // own files are found through the start directory).
  static bool ChoosePath(bool save, std::string& path) {
    static const wchar_t kFilter[] = L"TOLMAR KV720 settings (*.bs2)\0*.bs2\0";
    wchar_t file[MAX_PATH] = {};
    const std::wstring title =
        Widen(TheProgram().texts[save ? kSaveDialogTitle : kOpenDialogTitle]);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"bs2";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return false;
    path = Narrow(file);
    return true;
  }
};

}  // namespace

void RunOpenCommand() {
  SystemFileStore files;
  Win32SettingsFileUi ui;
  OpenSettingsFile(TheProgram().link, files, ui, ProgramRestorePoints(files));
}

void RunSaveAsCommand() {
  SystemFileStore files;
  Win32SettingsFileUi ui;
  SaveSettingsFileAs(TheProgram().link, files, ui);
}

}  // namespace kv
