#include "shell/panel_registry.h"

#include "shell/program.h"

// The panels' Win32 functions exist only in the exe.
#ifdef _WIN32
#define KV_WIN32_ONLY(function) function
#else
#define KV_WIN32_ONLY(function) nullptr
#endif

namespace kv {
namespace {

// One template at every screen size.
constexpr std::array<int, kScreenSizeCount> Everywhere(int id) { return {id, id, id, id, id}; }

constexpr PanelEntry kPanels[kPanelCount] = {
    {.panel = ReadingsPanel,
     .item = CMD_READINGS,
     .templates = Everywhere(IDD_READINGS),
     .titleText = 175,
     .create = KV_WIN32_ONLY(CreateReadingsPanel),
     .onSizeChange = nullptr,
     .onLanguageChange = nullptr,
     .paint = KV_WIN32_ONLY(ReadingsMainPaint),
     .sizeStepOnEntry = false},
    {.panel = ConfigurationPanel,
     .item = CMD_CONFIGURATION,
     .templates = {IDD_CONFIGURATION_640, IDD_CONFIGURATION_800, IDD_CONFIGURATION_1024,
                   IDD_CONFIGURATION_1280X960, IDD_CONFIGURATION_1280X1024},
     .titleText = 176,
     .create = KV_WIN32_ONLY(CreateConfigurationPanel),
     .onSizeChange = nullptr,
     .onLanguageChange = nullptr,
     .paint = nullptr,
     .sizeStepOnEntry = false},
    {.panel = OptionsPanel,
     .item = CMD_OPTIONS,
     .templates = {IDD_OPTIONS_640, IDD_OPTIONS_800, IDD_OPTIONS_1024, IDD_OPTIONS_1280X960,
                   IDD_OPTIONS_1280X1024},
     .titleText = 177,
     .create = KV_WIN32_ONLY(CreateOptionsPanel),
     .onSizeChange = nullptr,
     .onLanguageChange = nullptr,
     .paint = nullptr,
     .sizeStepOnEntry = false},
    {.panel = SchemaPanel,
     .item = CMD_SCHEMA,
     .templates = Everywhere(IDD_SCHEMA),
     .titleText = 178,
     .create = KV_WIN32_ONLY(CreateSchemaPanel),
     .onSizeChange = nullptr,
     .onLanguageChange = nullptr,
     .paint = KV_WIN32_ONLY(SchemaMainPaint),
     .sizeStepOnEntry = true},
    {.panel = ResetPanel,
     .item = CMD_RESET,
     .templates = Everywhere(IDD_RESET),
     .titleText = 179,
     .create = KV_WIN32_ONLY(CreateResetPanel),
     .onSizeChange = KV_WIN32_ONLY(LeavePanelAsIs),
     .onLanguageChange = KV_WIN32_ONLY(RelabelResetPanel),
     .paint = KV_WIN32_ONLY(ResetMainPaint),
     .sizeStepOnEntry = false},
    {.panel = OscilloscopePanel,
     .item = CMD_OSCILLOSCOPE,
     .templates = Everywhere(IDD_OSCILLOSCOPE),
     .titleText = 180,
     .create = KV_WIN32_ONLY(CreateOscilloscopePanel),
     .onSizeChange = nullptr,
     .onLanguageChange = nullptr,
     .paint = KV_WIN32_ONLY(OscilloscopeMainPaint),
     .sizeStepOnEntry = false},
    {.panel = InformationDialog,
     .item = CMD_INFORMATION,
     .templates = Everywhere(IDD_INFORMATION),
     .titleText = 190,
     .create = KV_WIN32_ONLY(CreateInformationDialog),
     .onSizeChange = KV_WIN32_ONLY(ResizeInformationDialog),
     .onLanguageChange = KV_WIN32_ONLY(RelabelInformationDialog),
     .paint = nullptr,
     .sizeStepOnEntry = false},
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
