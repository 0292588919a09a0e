#include "shell/menu_commands.h"

#include "files/settings.h"
#include "shell/panel_registry.h"
#include "shell/program.h"

namespace kv {

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

std::string_view LanguageForItem(int command) {
  for (const LanguageEntry& language : Languages())
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
