// How the main window and the panels meet on the Win32 side.
#pragma once

#include <windows.h>

#include <span>

#include "shell/shell_logic.h"

namespace kv {

struct Program;

// The running program, for the window and dialog procedures (one per process; the shell owns it).
struct App {
  Program* program = nullptr;
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  HWND panelWindow = nullptr;  // the panel now shown
};
App& TheApp();
inline Program& TheProgram() { return *TheApp().program; }

// One creation function per panel, each in its panel's folder: creates the panel's dialog from
// the template of the current screen size as a child of `parent`, runs the panel's entry steps and
// returns the window (null when the creation failed).
HWND CreateReadingsPanel(HWND parent);
HWND CreateConfigurationPanel(HWND parent);
HWND CreateOptionsPanel(HWND parent);
HWND CreateSchemaPanel(HWND parent);
HWND CreateResetPanel(HWND parent);
HWND CreateOscilloscopePanel(HWND parent);
HWND CreateInformationDialog(HWND parent);

// The readings panel's part of the main window's screen-size step and paint: choose the value
// and label fonts for the size and language, place the learn button (control 1005) and set the
// learn lamp diameter; and, on a main-window paint, draw the frame and refresh the values.
void ReadingsApplyScreenSize(HWND panel);
void ReadingsMainPaint(HWND panel);

// The schema panel's part of the main window's paint: copies the view again at its offsets.
void SchemaMainPaint(HWND panel);

// The information dialog layout of the main window (in the shell): places each control of the
// dialog for the current scale factors. Run on entering a new screen size and on every paint of
// the dialog.
void ApplyInformationLayout(HWND panel);

// For panels that do not run yet: the panel's template for the screen size, shown with its
// template texts and the language texts in `texts` (control, text number pairs), sized to the
// main window when `fillWindow` is set.
HWND CreateTemplateOnlyPanel(HWND parent, int panel, bool fillWindow,
                             std::span<const ControlText> texts = {});

}  // namespace kv
