// The main window's decisions, apart from Win32: screen sizes and desktop classes, placement, the
// menu commands, the port, language and panel tables, the menu state to show, and the
// information dialog layout. The Win32 window procedure only carries these out.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct Program;
struct ShellState;

// Screen sizes 1..5: 640x480, 800x600, 1024x768, 1280x960, 1280x1024.
inline constexpr int kScreenSizeCount = 5;
struct ScreenSizeEntry {
  int sizeItem;                   // the Size menu item
  int windowWidth, windowHeight;  // outer size of the main window
  double scaleX, scaleY;          // against the 800x600 design frame
  std::array<int, 4> lampBases;   // x of the readings panel's throttle lamps, pixels
};
// The row of a screen size; sizes outside 1..5 give the nearest one.
const ScreenSizeEntry& ScreenSizeEntryOf(int screenSize);
// The screen size of a Size item (40031 is 1280x1024 and 40032 1280x960); 0 for other ids.
int ScreenSizeForItem(int command);
// The Size items in the order of the sizes 1..5.
inline constexpr std::array<int, kScreenSizeCount> kSizeItems = {40028, 40029, 40030, 40032, 40031};

// The largest screen size a desktop of w x h can hold.
int DesktopClass(int width, int height);
// Whether the Size item of a screen size is enabled for a desktop class.
bool SizeItemEnabled(int desktopClass, int screenSize);

// Sets `screenSize` and with it the window size, scale factors and lamp bases.
void SetScreenSize(ShellState& shell, int screenSize);
// Window creation: remembers the desktop size, sets the desktop class and the screen size to it.
void StartOnDesktop(ShellState& shell, int desktopWidth, int desktopHeight);
// Repaint: when the desktop size changed, remembers it and returns true with the new class (the
// screen size itself stays).
bool NoteDesktopSize(ShellState& shell, int desktopWidth, int desktopHeight);

struct WindowPosition {
  int x, y;
};
// At (0, 0) when the desktop is at most 50 pixels wider than the window, centred otherwise.
WindowPosition PlaceWindow(int desktopWidth, int desktopHeight, int windowWidth, int windowHeight);

// Ports: numbers 1..4 are COM1..COM4; any other number means COM1.
inline constexpr int kPortItemFirst = 40019;
int PortItem(int port);
std::string PortName(int port);
// The port number of a Port item, 0 for other ids.
int PortForItem(int command);
// At start-up: the port name and checked item for the number read from the settings file.
void StartOnPort(Program& program, int filePort);
// The Port items: closes the port even when it is the same one, names the new port (opened by
// the next exchange), checks its item and rewrites the settings file.
void SelectPort(Program& program, int port);

// Languages and what each one chooses.
struct LanguageEntry {
  std::string_view code;
  int item;             // Language menu item
  int menu;             // menu bar resource
  int bitmapUnchecked;  // item bitmaps, without and with the check mark
  int bitmapChecked;
  int schemaPicture;
};
inline constexpr int kLanguageCount = 5;
std::span<const LanguageEntry> Languages();
// The row of a code; any unknown code gets the Polish item and menu and the English picture.
LanguageEntry LanguageEntryOf(std::string_view code);
// The code of a Language item, empty for other ids.
std::string_view LanguageForItem(int command);
// The Italian item has no text and is live only in the Italian menu bar (214), so "ita" is
// reached through the settings file.
inline constexpr int kTextlessLanguageItem = 40042;
bool TextlessItemLive(int menuResource);

// Panels 1..7 (the Panel enum of program.h).
inline constexpr int kPanelCount = 7;
struct PanelEntry {
  int panel;
  int item;                                      // menu command
  std::array<int, kScreenSizeCount> templates;   // dialog template per screen size 1..5
  int titleText;                                 // language text of the main window caption
};
// The row of a panel, null outside 1..7.
const PanelEntry* PanelEntryOf(int panel);
// The panel of a panel menu command, 0 for other ids.
int PanelForItem(int command);
int PanelTemplate(int panel, int screenSize);
// The seven panel items of the menu bar, in menu order.
inline constexpr std::array<int, kPanelCount> kPanelItems = {40005, 40006, 40007, 40013,
                                                             40008, 40010, 40048};

// What a WM_COMMAND id asks the main window to do.
enum class CommandKind { Unhandled, Exit, Nothing, Panel, OpenSettingsFile, SaveSettingsFile,
                         Port, Size, Language };
struct Command {
  CommandKind kind = CommandKind::Unhandled;
  int value = 0;                  // panel, port or screen size
  std::string_view language;      // language code
};
Command ClassifyCommand(int id);

// The check marks, grays and highlight the menu bar shows for the shell state and language.
struct MenuState {
  std::array<bool, kScreenSizeCount> sizeEnabled{};  // by screen size 1..5
  int sizeChecked = 0;       // Size item
  int portChecked = 0;       // Port item
  int languageChecked = 0;   // Language item
  int panelHighlighted = 0;  // panel item
};
MenuState ComputeMenuState(const ShellState& shell, std::string_view languageCode);

// Control texts a language change puts on the panels that are re-labelled rather than rebuilt.
struct ControlText {
  int control;
  int text;
};
std::span<const ControlText> ResetPanelTexts();
std::span<const ControlText> InformationDialogTexts();

// Where each control of the information dialog goes for the scale factors (design frame values
// times the scale, truncated toward zero, except the sizes fixed in pixels).
struct ControlPlace {
  int control;
  int x, y, width, height;
};
std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY);

}  // namespace kv
