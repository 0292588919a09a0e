#include "shell/menu_commands.h"

#include "files/settings.h"
#include "schema_ids.h"
#include "shell/panel_registry.h"
#include "shell/program.h"

namespace kv {
namespace {

constexpr LanguageEntry kLanguages[kLanguageCount] = {
    {"pol", CMD_LANG_POL, IDM_MENU_POL, IDB_FLAG_POL, IDB_FLAG_POL_CHECKED, IDB_SCHEMA_POL},
    {"ang", CMD_LANG_ANG, IDM_MENU_ANG, IDB_FLAG_ANG, IDB_FLAG_ANG_CHECKED, IDB_SCHEMA_ANG},
    {"rus", CMD_LANG_RUS, IDM_MENU_RUS, IDB_FLAG_RUS, IDB_FLAG_RUS_CHECKED, IDB_SCHEMA_RUS},
    {"lit", CMD_LANG_LIT, IDM_MENU_LIT, IDB_FLAG_LIT, IDB_FLAG_LIT_CHECKED, IDB_SCHEMA_LIT},
    {"ita", CMD_LANG_ITA, IDM_MENU_ITA, IDB_FLAG_ITA, IDB_FLAG_ITA_CHECKED, IDB_SCHEMA_ANG},
};

}  // namespace

int PortItem(int port) { return (port >= 1 && port <= 4) ? kPortItemFirst + port - 1 : kPortItemFirst; }

std::string PortName(int port) {
  if (port < 1 || port > 4) port = 1;
  return "COM" + std::to_string(port) + ":";
}

int PortForItem(int command) {
  return (command >= kPortItemFirst && command < kPortItemFirst + 4) ? command - kPortItemFirst + 1
                                                                     : 0;
}

void StartOnPort(Program& program, int filePort) {
  program.link.portName = PortName(filePort);
  program.shell.portItem = PortItem(filePort);
}

void SelectPort(Program& program, int port) {
  ClosePort(program.link);
  program.link.portName = PortName(port);
  program.settings.storedPort = (port >= 1 && port <= 4) ? port : 1;
  program.shell.portItem = PortItem(port);
  SaveSettings(program.settings);
}

std::span<const LanguageEntry> Languages() { return kLanguages; }

LanguageEntry LanguageEntryOf(std::string_view code) {
  for (const LanguageEntry& language : kLanguages)
    if (language.code == code) return language;
  LanguageEntry other = kLanguages[0];
  other.code = code;
  other.schemaPicture = IDB_SCHEMA_ANG;
  return other;
}

std::string_view LanguageForItem(int command) {
  for (const LanguageEntry& language : kLanguages)
    if (language.item == command) return language.code;
  return {};
}

bool TextlessItemLive(int menuResource) { return menuResource == LanguageEntryOf("ita").menu; }

Command ClassifyCommand(int id) {
  Command command;
  if (id == CMD_EXIT) {
    command.kind = CommandKind::Exit;
  } else if (id == CMD_ALT_SLASH) {
    command.kind = CommandKind::Nothing;
  } else if (int panel = PanelForItem(id)) {
    command.kind = CommandKind::Panel;
    command.value = panel;
  } else if (id == CMD_OPEN) {
    command.kind = CommandKind::OpenSettingsFile;
  } else if (id == CMD_SAVE_AS) {
    command.kind = CommandKind::SaveSettingsFile;
  } else if (int port = PortForItem(id)) {
    command.kind = CommandKind::Port;
    command.value = port;
  } else if (int size = ScreenSizeForItem(id)) {
    command.kind = CommandKind::Size;
    command.value = size;
  } else if (std::string_view code = LanguageForItem(id); !code.empty()) {
    command.kind = CommandKind::Language;
    command.language = code;
  }
  return command;
}

MenuState ComputeMenuState(const ShellState& shell, std::string_view languageCode) {
  MenuState state;
  for (int size = 1; size <= kScreenSizeCount; ++size)
    state.sizeEnabled[size - 1] = SizeItemEnabled(shell.desktopClass, size);
  state.sizeChecked = ScreenSizeEntryOf(shell.screenSize).sizeItem;
  state.portChecked = shell.portItem;
  state.languageChecked = LanguageEntryOf(languageCode).item;
  const PanelEntry* panel = PanelEntryOf(shell.currentPanel);
  state.panelHighlighted = panel ? panel->item : 0;
  return state;
}

}  // namespace kv
