// The main window: the program's only top-level window. It owns the menu bar and shows one panel
// at a time; its decisions come from
// screen_size.h, menu_commands.h and panel_registry.h.
#pragma once

#include <windows.h>

#include <string_view>

namespace kv {

// Registers the window class (name from string 3) with icon 102 and the Polish menu bar 148.
bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the main window (title from string 1) at (0, 0), 640 x 450; window creation then reads
// the settings and texts, sizes and places the window and creates the readings panel.
HWND CreateMainWindow(HINSTANCE instance);

// Panel commands: re-creates nothing when the panel is already shown.
void SwitchPanel(int panel);
// Re-lays out the window and the current panel for `screenSize`.
void ApplyScreenSize();
// The Language items: stores and loads the language, re-labels the panel, swaps the menu bar.
void SetLanguage(std::string_view languageCode);
void RebuildPanelForLanguage();

}  // namespace kv
