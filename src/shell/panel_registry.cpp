#include "shell/panel_registry.h"

#include "shell/program.h"

namespace kv {
namespace {

// One template at every screen size.
constexpr std::array<int, kScreenSizeCount> Everywhere(int id) { return {id, id, id, id, id}; }

constexpr PanelEntry kPanels[kPanelCount] = {
    {ReadingsPanel, CMD_READINGS, Everywhere(IDD_READINGS), 175},
    {ConfigurationPanel, CMD_CONFIGURATION,
     {IDD_CONFIGURATION_640, IDD_CONFIGURATION_800, IDD_CONFIGURATION_1024,
      IDD_CONFIGURATION_1280X960, IDD_CONFIGURATION_1280X1024},
     176},
    {OptionsPanel, CMD_OPTIONS,
     {IDD_OPTIONS_640, IDD_OPTIONS_800, IDD_OPTIONS_1024, IDD_OPTIONS_1280X960,
      IDD_OPTIONS_1280X1024},
     177},
    {SchemaPanel, CMD_SCHEMA, Everywhere(IDD_SCHEMA), 178},
    {ResetPanel, CMD_RESET, Everywhere(IDD_RESET), 179},
    {OscilloscopePanel, CMD_OSCILLOSCOPE, Everywhere(IDD_OSCILLOSCOPE), 180},
    {InformationDialog, CMD_INFORMATION, Everywhere(IDD_INFORMATION), 190},
};

}  // namespace

std::span<const PanelEntry> Panels() { return kPanels; }

const PanelEntry* PanelEntryOf(int panel) {
  return (panel >= 1 && panel <= kPanelCount) ? &kPanels[panel - 1] : nullptr;
}

int PanelForItem(int command) {
  for (const PanelEntry& panel : kPanels)
    if (panel.item == command) return panel.panel;
  return 0;
}

int PanelTemplate(int panel, int screenSize) {
  const PanelEntry* entry = PanelEntryOf(panel);
  if (!entry) return 0;
  return entry->templates[ClampScreenSize(screenSize) - 1];
}

}  // namespace kv
