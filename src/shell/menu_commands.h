// The menu bar's commands and what it shows: ports, languages, what each command id asks the main
// window to do, and the check marks, grays and highlight for the shell state.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "files/language.h"
#include "resource.h"
#include "shell/screen_size.h"

namespace kv {

struct Program;
struct ShellState;

// Ports: numbers 1..4 are COM1..COM4; any other number means COM1.
inline constexpr int kPortItemFirst = CMD_COM1;
int PortItem(int port);
std::string PortName(int port);
// The port number of a Port item, 0 for other ids.
int PortForItem(int command);
// At start-up: the port name and checked item for the number read from the settings file.
void StartOnPort(Program& program, int filePort);
// The Port items: closes the port even when it is the same one, names the new port (opened by
// the next exchange), checks its item and rewrites the settings file.
void SelectPort(Program& program, int port);

// The code of a Language item, empty for other ids.
std::string_view LanguageForItem(int command);
// The Italian item has no text and is live only in the Italian menu bar, so "ita" is reached
// through the settings file.
inline constexpr int kTextlessLanguageItem = CMD_LANG_ITA;
bool TextlessItemLive(int menuResource);

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

}  // namespace kv
