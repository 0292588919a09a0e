#include "shell/shell_logic.h"

#include "shell/program.h"
#include "shell/settings.h"

namespace kv {
namespace {

constexpr ScreenSizeEntry kScreenSizes[kScreenSizeCount] = {
    {40028, 640, 450, 0.8, 0.77, {113, 172, 231, 290}},
    {40029, 800, 570, 1.0, 1.0, {140, 214, 288, 362}},
    {40030, 1024, 738, 1.28, 1.32, {180, 274, 368, 462}},
    {40032, 1280, 930, 1.6, 1.69, {225, 343, 461, 579}},
    {40031, 1280, 994, 1.6, 1.81, {225, 343, 461, 579}},
};

constexpr LanguageEntry kLanguages[kLanguageCount] = {
    {"pol", 40035, 148, 1014, 204, 227},
    {"ang", 40036, 193, 203, 205, 228},
    {"rus", 40038, 208, 1015, 209, 225},
    {"lit", 40039, 209, 1017, 1016, 226},
    {"ita", 40042, 214, 212, 211, 228},
};

constexpr PanelEntry kPanels[kPanelCount] = {
    {ReadingsPanel, 40005, {101, 101, 101, 101, 101}, 175},
    {ConfigurationPanel, 40006, {106, 157, 145, 151, 150}, 176},
    {OptionsPanel, 40007, {152, 125, 153, 154, 156}, 177},
    {SchemaPanel, 40013, {132, 132, 132, 132, 132}, 178},
    {ResetPanel, 40008, {126, 126, 126, 126, 126}, 179},
    {OscilloscopePanel, 40010, {159, 159, 159, 159, 159}, 180},
    {InformationDialog, 40048, {230, 230, 230, 230, 230}, 190},
};

constexpr ControlText kResetTexts[] = {{1104, 134}, {1105, 135}, {126, 136}};
// 1179 and 1180 both read "Change", text 197.
constexpr ControlText kInformationTexts[] = {
    {1079, 158}, {1199, 159}, {1194, 191}, {1195, 192}, {1196, 193}, {1189, 194},
    {1190, 195}, {1191, 196}, {1179, 197}, {1182, 199}, {1180, 197}};

// One control of the information layout: each value in the design frame (scaled) or in pixels.
struct LayoutRow {
  int control;
  int x, y, width, height;
  bool scaleWidth, scaleHeight;  // x and y are always scaled
};
constexpr LayoutRow kInformationLayout[] = {
    {1208, 40, 20, 280, 185, true, true},
    {1075, 360, 20, 300, 20, true, false},
    {1076, 360, 45, 300, 20, true, false},
    {1077, 360, 70, 300, 20, true, false},
    {1078, 360, 95, 300, 20, true, false},
    {1209, 360, 125, 300, 1, true, false},
    {1079, 360, 145, 200, 25, false, false},
    {1199, 40, 240, 200, 25, false, false},
    {1194, 40, 290, 200, 25, false, false},
    {1195, 40, 340, 200, 25, false, false},
    {1196, 40, 390, 200, 25, false, false},
    {1170, 360, 235, 250, 25, true, false},
    {1164, 360, 285, 100, 25, true, false},
    {1171, 360, 335, 100, 25, true, false},
    {1172, 360, 385, 100, 25, true, false},
    {1179, 500, 285, 100, 25, true, false},
    {1182, 500, 335, 100, 25, true, false},
    {1180, 500, 385, 100, 25, true, false},
    {1188, 20, 365, 650, 140, true, true},
    {1189, 40, 445, 50, 25, false, false},
    {1190, 260, 445, 50, 25, false, false},
    {1191, 430, 445, 50, 25, false, false},
    {1003, 120, 440, 100, 20, false, false},
    {1004, 340, 440, 70, 20, false, false},
    {1013, 510, 440, 70, 20, false, false},
};

int Scaled(int value, double scale) { return static_cast<int>(value * scale); }

int ClampScreenSize(int screenSize) {
  return screenSize < 1 ? 1 : screenSize > kScreenSizeCount ? kScreenSizeCount : screenSize;
}

}  // namespace

const ScreenSizeEntry& ScreenSizeEntryOf(int screenSize) {
  return kScreenSizes[ClampScreenSize(screenSize) - 1];
}

int ScreenSizeForItem(int command) {
  for (int size = 1; size <= kScreenSizeCount; ++size)
    if (kSizeItems[size - 1] == command) return size;
  return 0;
}

int DesktopClass(int width, int height) {
  if (width >= 1280 && height >= 1024) return 5;
  if (width >= 1280 && height >= 960) return 4;
  if (width >= 1024) return 3;
  if (width < 800) return 1;
  return 2;
}

bool SizeItemEnabled(int desktopClass, int screenSize) { return screenSize <= desktopClass; }

void SetScreenSize(ShellState& shell, int screenSize) {
  const ScreenSizeEntry& entry = ScreenSizeEntryOf(screenSize);
  shell.screenSize = ClampScreenSize(screenSize);
  shell.windowWidth = entry.windowWidth;
  shell.windowHeight = entry.windowHeight;
  shell.scaleX = entry.scaleX;
  shell.scaleY = entry.scaleY;
  shell.lampBases = entry.lampBases;
}

void StartOnDesktop(ShellState& shell, int desktopWidth, int desktopHeight) {
  shell.desktopWidth = desktopWidth;
  shell.desktopHeight = desktopHeight;
  shell.desktopClass = DesktopClass(desktopWidth, desktopHeight);
  SetScreenSize(shell, shell.desktopClass);
}

bool NoteDesktopSize(ShellState& shell, int desktopWidth, int desktopHeight) {
  if (desktopWidth == shell.desktopWidth && desktopHeight == shell.desktopHeight) return false;
  shell.desktopWidth = desktopWidth;
  shell.desktopHeight = desktopHeight;
  shell.desktopClass = DesktopClass(desktopWidth, desktopHeight);
  return true;
}

WindowPosition PlaceWindow(int desktopWidth, int desktopHeight, int windowWidth,
                           int windowHeight) {
  if (desktopWidth - windowWidth <= 50) return {0, 0};
  return {(desktopWidth - windowWidth) / 2, (desktopHeight - windowHeight) / 2};
}

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
  other.schemaPicture = 228;
  return other;
}

std::string_view LanguageForItem(int command) {
  for (const LanguageEntry& language : kLanguages)
    if (language.item == command) return language.code;
  return {};
}

bool TextlessItemLive(int menuResource) { return menuResource == LanguageEntryOf("ita").menu; }

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

Command ClassifyCommand(int id) {
  Command command;
  if (id == 40002) {
    command.kind = CommandKind::Exit;
  } else if (id == 40003) {
    command.kind = CommandKind::Nothing;
  } else if (int panel = PanelForItem(id)) {
    command.kind = CommandKind::Panel;
    command.value = panel;
  } else if (id == 40014) {
    command.kind = CommandKind::OpenSettingsFile;
  } else if (id == 40015) {
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

std::span<const ControlText> ResetPanelTexts() { return kResetTexts; }
std::span<const ControlText> InformationDialogTexts() { return kInformationTexts; }

std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY) {
  std::vector<ControlPlace> places;
  places.reserve(std::size(kInformationLayout));
  for (const LayoutRow& row : kInformationLayout) {
    places.push_back({row.control, Scaled(row.x, scaleX), Scaled(row.y, scaleY),
                      row.scaleWidth ? Scaled(row.width, scaleX) : row.width,
                      row.scaleHeight ? Scaled(row.height, scaleY) : row.height});
  }
  return places;
}

}  // namespace kv
