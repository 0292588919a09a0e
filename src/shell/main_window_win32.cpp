#include "shell/main_window_win32.h"

#include <map>
#include <string>

#include "files/file_store.h"
#include "files/restore_point_win32.h"
#include "files/settings.h"
#include "files/text_win32.h"
#include "resource.h"
#include "shell/menu_commands.h"
#include "shell/panel_registry.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "shell/screen_size.h"
#include "shell/settings_file_win32.h"
#include "ui/canvas_win32.h"
#include "ui/guard_win32.h"

namespace kv {
namespace {

// What only the Win32 side holds: the menu bar of the current language and the flag bitmaps,
// loaded once and kept for the whole run.
struct MainWindowHandles {
  HMENU menu = nullptr;
  std::map<int, HBITMAP> flags;
};
MainWindowHandles& Handles() {
  static MainWindowHandles handles;
  return handles;
}

ShellState& Shell() { return TheProgram().shell; }

std::wstring LoadResourceString(HINSTANCE instance, UINT id) {
  wchar_t buffer[1024] = {};
  LoadStringW(instance, id, buffer, 1023);
  return buffer;
}

// The usable part of the window's monitor: the screen less the taskbar and docked bars. A window
// as tall as the whole screen would hide its bottom behind the taskbar.
RECT WorkArea(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info))
    return info.rcWork;
  RECT r{};
  GetWindowRect(GetDesktopWindow(), &r);
  return r;
}

HBITMAP Flag(int id) {
  auto& flags = Handles().flags;
  auto it = flags.find(id);
  if (it != flags.end()) return it->second;
  // Drawn at the menu check-mark size of the system, which the item bitmaps must match.
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(TheApp().instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                 GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK), 0));
  flags[id] = bitmap;
  return bitmap;
}

void SetCaption(int panel) {
  const PanelEntry* entry = PanelEntryOf(panel);
  if (!entry) return;
  SetWindowTextW(TheApp().mainWindow, Widen(TheProgram().texts[entry->titleText]).c_str());
}

void CheckItem(int item, bool checked) {
  CheckMenuItem(Handles().menu, static_cast<UINT>(item),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EnableSizeItems(const MenuState& state) {
  for (int size = 1; size <= kScreenSizeCount; ++size)
    EnableMenuItem(Handles().menu, static_cast<UINT>(kSizeItems[size - 1]),
                   MF_BYCOMMAND | (state.sizeEnabled[size - 1] ? MF_ENABLED : MF_GRAYED));
}

void CheckSizeItem(const MenuState& state) {
  for (int item : kSizeItems) CheckItem(item, item == state.sizeChecked);
}

void CheckPortItem(const MenuState& state) {
  for (int port = 1; port <= 4; ++port) CheckItem(PortItem(port), PortItem(port) == state.portChecked);
}

void CheckLanguageItem(const MenuState& state) {
  for (const LanguageEntry& language : Languages())
    CheckItem(language.item, language.item == state.languageChecked);
}

MenuState CurrentMenuState() {
  return ComputeMenuState(Shell(), TheProgram().settings.languageCode);
}

// The whole menu state after a new menu bar was installed.
void RefreshMenuState() {
  const MenuState state = CurrentMenuState();
  for (const LanguageEntry& language : Languages())
    SetMenuItemBitmaps(Handles().menu, static_cast<UINT>(language.item), MF_BYCOMMAND,
                       Flag(language.bitmapUnchecked), Flag(language.bitmapChecked));
  EnableSizeItems(state);
  CheckPortItem(state);
  CheckSizeItem(state);
  SetScreenSize(Shell(), Shell().screenSize);
}

// Item 40042 has no text. A menu loaded from a resource may turn such an item into a separator
// (Wine does), which could neither be chosen nor show its flag: make it a plain item again, live
// only in the Italian menu bar.
void RestoreTextlessItem(HMENU menu, int menuResource) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
  info.fType = MFT_STRING;
  info.fState = TextlessItemLive(menuResource) ? MFS_ENABLED : MFS_GRAYED;
  wchar_t empty[1] = {L'\0'};
  info.dwTypeData = empty;
  SetMenuItemInfoW(menu, static_cast<UINT>(kTextlessLanguageItem), FALSE, &info);
}

void InstallLanguageMenu() {
  const LanguageEntry language = LanguageEntryOf(TheProgram().settings.languageCode);
  HMENU menu = LoadMenuW(TheApp().instance, MAKEINTRESOURCEW(language.menu));
  if (!menu) return;
  RestoreTextlessItem(menu, language.menu);
  HMENU old = GetMenu(TheApp().mainWindow);
  SetMenu(TheApp().mainWindow, menu);
  Handles().menu = menu;
  if (old && old != menu) DestroyMenu(old);
  DrawMenuBar(TheApp().mainWindow);
  CheckLanguageItem(CurrentMenuState());
}

void PlaceMainWindow() {
  const ShellState& shell = Shell();
  const WindowPosition at =
      PlaceWindow(shell.desktopWidth, shell.desktopHeight, shell.windowWidth, shell.windowHeight);
  SetWindowPos(TheApp().mainWindow, nullptr, shell.desktopLeft + at.x, shell.desktopTop + at.y,
               shell.windowWidth, shell.windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The keyboard focus belongs in the panel, as a dialog's belongs to one of its controls: where it
// was when the window was last deactivated, else the panel's first tab stop. The message loop's
// IsDialogMessage then moves it with Tab.
HWND& PanelFocus() {
  static HWND focus = nullptr;
  return focus;
}

// Returns whether the focus went into the panel.
bool FocusPanel() {
  const App& app = TheApp();
  if (!app.panelWindow || GetActiveWindow() != app.mainWindow) return false;
  HWND focus = PanelFocus();
  if (!focus || !IsChild(app.panelWindow, focus))
    focus = GetNextDlgTabItem(app.panelWindow, nullptr, FALSE);
  if (!focus) return false;
  SetFocus(focus);
  return true;
}

// Whether the activation was handled; otherwise the default gives the focus to the window.
bool OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    PanelFocus() = GetFocus();
    return false;
  }
  return !HIWORD(wParam) && FocusPanel();  // not while minimized
}

// KV720.ini could not be written: the user hears of it once a run, after the command (or the
// start-up) that tried, from a posted message so that no command waits on the message box.
constexpr UINT kTellSettingsNotSaved = WM_APP + 1;
constexpr int kSettingsNotSavedText = 184;

void NoteSettingsSave() {
  if (TakeSaveFailureNotice(TheProgram().settings))
    PostMessageW(TheApp().mainWindow, kTellSettingsNotSaved, 0, 0);
}

void TellSettingsNotSaved() {
  const App& app = TheApp();
  std::wstring text = Widen(TheProgram().texts[kSettingsNotSavedText]);
  if (text.empty()) text = LoadResourceString(app.instance, IDS_SETTINGS_NOT_SAVED);
  MessageBoxW(app.panelWindow ? app.panelWindow : app.mainWindow, text.c_str(),
              LoadResourceString(app.instance, IDS_TITLE).c_str(), MB_OK | MB_ICONWARNING);
}

// Started from a temporary folder (a zip opened in Explorer): told once, at start, that settings
// would be lost and where the restore points go instead. The built-in text stands in when the
// language files are missing, as they are in such a folder.
constexpr UINT kTellTemporaryFolder = WM_APP + 2;
constexpr int kTemporaryFolderText = 163;

void TellTemporaryFolder() {
  const App& app = TheApp();
  const Program& program = TheProgram();
  std::wstring text = Widen(program.texts[kTemporaryFolderText]);
  if (text.empty()) text = LoadResourceString(app.instance, IDS_TEMPORARY_FOLDER);
  SystemFileStore files;
  text += L"\n" + Widen(ProgramRestorePoints(files, TheProgram().settings).folder);
  MessageBoxW(app.panelWindow ? app.panelWindow : app.mainWindow, text.c_str(),
              LoadResourceString(app.instance, IDS_TITLE).c_str(), MB_OK | MB_ICONWARNING);
}

// The value and label fonts of the screen size and language, which every drawn panel uses.
void SelectFonts() {
  const Program& program = TheProgram();
  SelectPanelFonts(program.shell.screenSize, program.settings.languageCode);
}

// Creates `panel` with its entry steps, the fonts chosen first.
HWND CreatePanelWindow(int panel, HWND parent) {
  const PanelEntry* entry = PanelEntryOf(panel);
  if (!entry || !entry->create) return nullptr;
  SelectFonts();
  return entry->create(parent);
}

// Destroys the panel shown (its own destruction handling runs first) and creates `panel` with its
// entry steps. A failed creation is not reported: there is then no panel until the next switch.
void RecreatePanel(int panel) {
  App& app = TheApp();
  if (app.panelWindow) DestroyWindow(app.panelWindow);
  app.panelWindow = nullptr;
  app.panelWindow = CreatePanelWindow(panel, app.mainWindow);
  FocusPanel();
}

// Makes `panel`, which is already the current panel, with its entry steps.
void EnterPanel(int panel) {
  RecreatePanel(panel);
  const PanelEntry* entry = PanelEntryOf(panel);
  if (entry && entry->sizeStepOnEntry) ApplyScreenSize();
}

void OnCreate(HWND window) {
  App& app = TheApp();
  Program& program = TheProgram();
  app.mainWindow = window;

  // The class menu, the desktop and the screen size it allows.
  Handles().menu = GetMenu(window);
  const RECT work = WorkArea(window);
  StartOnDesktop(program.shell, work.right - work.left, work.bottom - work.top);
  program.shell.desktopLeft = work.left;
  program.shell.desktopTop = work.top;
  MenuState state = CurrentMenuState();
  EnableSizeItems(state);
  CheckSizeItem(state);
  // Size and place.
  PlaceMainWindow();
  // Settings and language texts.
  StartOnPort(program, LoadSettings(program.settings));
  CheckPortItem(CurrentMenuState());
  LoadLanguageTexts(program.texts, program.settings.startDirectory, program.settings.languageCode);
  // The readings panel.
  program.shell.currentPanel = ReadingsPanel;
  app.panelWindow = CreatePanelWindow(ReadingsPanel, window);
  if (app.panelWindow)
    SetWindowPos(app.panelWindow, nullptr, -5, -10, program.shell.windowWidth,
                 program.shell.windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SetCaption(ReadingsPanel);
  // The language's menu bar and its state.
  InstallLanguageMenu();
  RefreshMenuState();
  if (program.settings.temporaryStart) PostMessageW(window, kTellTemporaryFolder, 0, 0);
  NoteSettingsSave();
}

void OnPaint(HWND window) {
  App& app = TheApp();
  ShellState& shell = Shell();
  PAINTSTRUCT ps;
  BeginPaint(window, &ps);
  EndPaint(window, &ps);
  // The panel is validated too, so its background is erased now and not over what is drawn next.
  if (app.panelWindow) {
    PAINTSTRUCT panelPaint;
    BeginPaint(app.panelWindow, &panelPaint);
    EndPaint(app.panelWindow, &panelPaint);
  }
  SelectFonts();
  const PanelEntry* entry = PanelEntryOf(shell.currentPanel);
  if (entry && entry->paint && app.panelWindow) entry->paint(app.panelWindow);
  const RECT work = WorkArea(window);
  shell.desktopLeft = work.left;
  shell.desktopTop = work.top;
  if (NoteDesktopSize(shell, work.right - work.left, work.bottom - work.top))
    EnableSizeItems(CurrentMenuState());
}

void Exit(HWND window) {
  if (TheApp().panelWindow) DestroyWindow(TheApp().panelWindow);
  TheApp().panelWindow = nullptr;
  DestroyWindow(window);
}

bool OnCommand(HWND window, int id) {
  const Command command = ClassifyCommand(id);
  switch (command.kind) {
    case CommandKind::Exit: Exit(window); return true;
    case CommandKind::Nothing: return true;
    case CommandKind::Panel: SwitchPanel(command.value); return true;
    case CommandKind::Port:
      SelectPort(TheProgram(), command.value);
      CheckPortItem(CurrentMenuState());
      NoteSettingsSave();
      return true;
    case CommandKind::Size:
      SetScreenSize(Shell(), command.value);
      ApplyScreenSize();
      return true;
    case CommandKind::Language: SetLanguage(command.language); return true;
    case CommandKind::OpenSettingsFile: RunOpenCommand(); return true;
    case CommandKind::SaveSettingsFile: RunSaveAsCommand(); return true;
    case CommandKind::Unhandled: return false;
  }
  return false;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_COMMAND:
      if (OnCommand(window, LOWORD(wParam))) return 0;
      break;
    case WM_EXITMENULOOP: HighlightPanelItem(); return 0;
    case WM_ACTIVATE:
      if (OnActivate(wParam)) return 0;
      break;
    case WM_PAINT: OnPaint(window); return 0;
    case kTellSettingsNotSaved: TellSettingsNotSaved(); return 0;
    case kTellTemporaryFolder: TellTemporaryFolder(); return 0;
    case WM_CLOSE: Exit(window); return 0;
    case WM_DESTROY:
      ClosePort(TheProgram().link);
      TheApp().panelWindow = nullptr;
      PostQuitMessage(0);
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

App& TheApp() {
  static App app;
  return app;
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  static const std::wstring className = LoadResourceString(instance, IDS_CLASS_NAME);
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = GuardedWindowProc<MainWindowProc>;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KV720));
  wc.hCursor = nullptr;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszMenuName = MAKEINTRESOURCEW(IDM_MENU_POL);
  wc.lpszClassName = className.c_str();
  return RegisterClassW(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
  const std::wstring className = LoadResourceString(instance, IDS_CLASS_NAME);
  const std::wstring title = LoadResourceString(instance, IDS_TITLE);
  return CreateWindowW(className.c_str(), title.c_str(),
                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 640, 450,
                       nullptr, nullptr, instance, nullptr);
}

void SwitchPanel(int panel) {
  ShellState& shell = Shell();
  if (!PanelEntryOf(panel)) return;
  if (shell.currentPanel != panel) {
    shell.currentPanel = panel;
    EnterPanel(panel);
    SetCaption(panel);
  }
  HighlightPanelItem();
}

void ApplyScreenSize() {
  App& app = TheApp();
  ShellState& shell = Shell();
  // The Size check, scale factors and lamp bases; the window; the fonts.
  SetScreenSize(shell, shell.screenSize);
  CheckSizeItem(CurrentMenuState());
  PlaceMainWindow();
  SelectFonts();
  // The panel in its layout for the size.
  const PanelEntry* entry = PanelEntryOf(shell.currentPanel);
  if (!entry) return;
  if (!entry->onSizeChange)
    RecreatePanel(shell.currentPanel);
  else if (app.panelWindow)
    entry->onSizeChange(app.panelWindow);
}

void RebuildPanelForLanguage() {
  App& app = TheApp();
  const int panel = Shell().currentPanel;
  const PanelEntry* entry = PanelEntryOf(panel);
  if (!entry) return;
  if (!entry->onLanguageChange)
    EnterPanel(panel);
  else if (app.panelWindow)
    entry->onLanguageChange(app.panelWindow);
  // Every panel's caption follows the language, the re-labelled ones too.
  SetCaption(panel);
}

void SetLanguage(std::string_view languageCode) {
  Program& program = TheProgram();
  program.settings.languageCode = std::string(languageCode);
  SaveSettings(program.settings);
  LoadLanguageTexts(program.texts, program.settings.startDirectory, program.settings.languageCode);
  RebuildPanelForLanguage();
  InstallLanguageMenu();
  RefreshMenuState();
  HighlightPanelItem();
  NoteSettingsSave();
}

void HighlightPanelItem() {
  HWND window = TheApp().mainWindow;
  HMENU menu = Handles().menu;
  if (!window || !menu) return;
  const int current = CurrentMenuState().panelHighlighted;
  // The current item comes last: Wine treats every call as selecting the item (dropping the
  // previous one's highlight), Windows sets or clears each item's own highlight.
  for (int item : kPanelItems)
    if (item != current) HiliteMenuItem(window, menu, static_cast<UINT>(item), MF_BYCOMMAND | MF_UNHILITE);
  if (current) HiliteMenuItem(window, menu, static_cast<UINT>(current), MF_BYCOMMAND | MF_HILITE);
}

}  // namespace kv
