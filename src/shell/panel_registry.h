// The panels the main window shows, one row each: the menu command that shows it, its dialog
// template per screen size, the language text of the main window's caption, the function that
// creates it and what it does when the screen size or the language changes and when the main
// window paints. The main window reads these rows; it knows no panel by name.
//
// How to add a panel:
//  1. Its folder src/<panel>/ holds its logic, portable and tested natively (<panel>.h/.cpp:
//     lists, texts, refresh, commands, its tick through PollTick of shell/poll.h), and its window,
//     <panel>_win32.cpp: a dialog procedure that turns messages into calls of the logic (timer
//     kPanelTimer armed with ArmPollTimer and handled with OnPollTimer, modal sub-dialogs run with
//     RunSubDialog, all in shell/panels_win32.h), and the creation function declared below, which
//     makes the dialog with CreatePanelDialog<Proc>(parent, <its Panel number>), runs its entry
//     steps and returns it.
//  2. Its resources: resources/<panel>.rc, included from kv720.rc, with its templates (template
//     ids in resource.h, control ids in resources/<panel>_ids.h, included from the .rc and
//     indexed in resource.h).
//  3. Its row in kPanels (panel_registry.cpp): menu command, templates, caption text, creation
//     function and its steps below (declared here); its number in the Panel enum of program.h
//     and, when it keeps state across re-creation, one line for that state in Program.
//  4. Tests: tests/unit/<panel>_*_test.cpp against the fakes of tests/support (controls, canvas,
//     port); an e2e test tests/e2e/test_<panel>.py.
#pragma once

#include <array>
#include <span>

#include "resource.h"
#include "shell/screen_size.h"

// A window handle, as <windows.h> declares HWND; the rows name the panels' Win32 functions
// without including it.
struct HWND__;

namespace kv {

using PanelWindow = HWND__*;
using CreatePanelFunction = PanelWindow (*)(PanelWindow parent);
using PanelStep = void (*)(PanelWindow panel);

// The panel numbers are the Panel enum of program.h, 1..7.
inline constexpr int kPanelCount = 7;

struct PanelEntry {
  int panel;
  int item;                                     // menu command
  std::array<int, kScreenSizeCount> templates;  // dialog template per screen size 1..5
  int titleText;                                // language text of the main window caption
  // The panel's Win32 side (null in the native build, which has none).
  CreatePanelFunction create;  // makes the panel with its entry steps; null when it failed
  PanelStep onSizeChange;      // after a Size item; null: the panel is made again for the size
  PanelStep onLanguageChange;  // after a Language item; null: the panel is made again
  PanelStep paint;             // the main window's paint, after the fonts; null: nothing
  bool sizeStepOnEntry;        // entering it runs the main window's screen-size step, which
                               // makes it again and so sets it up
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

// The panels' Win32 functions, each defined in its panel's folder.
PanelWindow CreateReadingsPanel(PanelWindow parent);
PanelWindow CreateConfigurationPanel(PanelWindow parent);
PanelWindow CreateOptionsPanel(PanelWindow parent);
PanelWindow CreateSchemaPanel(PanelWindow parent);
PanelWindow CreateResetPanel(PanelWindow parent);
PanelWindow CreateOscilloscopePanel(PanelWindow parent);
PanelWindow CreateInformationDialog(PanelWindow parent);
// Readings: places the learn button, draws the frame and the values, highlights the panel's
// menu item and makes the learn button repaint above the drawing.
void ReadingsMainPaint(PanelWindow panel);
// Schema: copies the view again at its offsets.
void SchemaMainPaint(PanelWindow panel);
// Oscilloscope: set-up drawing, then frame redraw.
void OscilloscopeMainPaint(PanelWindow panel);
// Reset: sized to the window, its heading, description and button placed for the screen size.
void ResetMainPaint(PanelWindow panel);
// Information dialog: fills the main window and places its controls for the scale factors.
void ResizeInformationDialog(PanelWindow panel);
// Reset panel and information dialog: re-labelled in place, so what the user entered stays.
void RelabelResetPanel(PanelWindow panel);
void RelabelInformationDialog(PanelWindow panel);
// A step that leaves the panel as it is (the reset panel lays itself out when it paints).
inline void LeavePanelAsIs(PanelWindow) {}

}  // namespace kv
