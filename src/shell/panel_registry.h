// The panels the main window shows, one row each: the menu command that shows it, its dialog
// template per screen size and the language text of the main window's caption.
#pragma once

#include <array>
#include <span>

#include "resource.h"
#include "shell/screen_size.h"

namespace kv {

// The panel numbers are the Panel enum of program.h, 1..7.
inline constexpr int kPanelCount = 7;

struct PanelEntry {
  int panel;
  int item;                                     // menu command
  std::array<int, kScreenSizeCount> templates;  // dialog template per screen size 1..5
  int titleText;                                // language text of the main window caption
};

// The rows in Panel order.
std::span<const PanelEntry> Panels();
// The row of a panel, null outside 1..7.
const PanelEntry* PanelEntryOf(int panel);
// The panel of a panel menu command, 0 for other ids.
int PanelForItem(int command);
// The panel's template for a screen size (sizes outside 1..5 give the nearest); 0 for no panel.
int PanelTemplate(int panel, int screenSize);
// The seven panel items of the menu bar, in menu order.
inline constexpr std::array<int, kPanelCount> kPanelItems = {
    CMD_READINGS, CMD_CONFIGURATION, CMD_OPTIONS, CMD_SCHEMA, CMD_RESET, CMD_OSCILLOSCOPE,
    CMD_INFORMATION};

}  // namespace kv
