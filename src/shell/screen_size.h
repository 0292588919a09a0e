// Screen sizes and the desktop: what each of the five sizes sets, which sizes a desktop can hold
// and where the main window goes on it.
#pragma once

#include <array>

#include "resource.h"

namespace kv {

struct ShellState;

// Screen sizes 1..5: 640x480, 800x600, 1024x768, 1280x960, 1280x1024.
inline constexpr int kScreenSizeCount = 5;
struct ScreenSizeEntry {
  int sizeItem;                   // the Size menu item
  int windowWidth, windowHeight;  // outer size of the main window
  double scaleX, scaleY;          // against the 800x600 design frame
  std::array<int, 4> lampBases;   // x of the readings panel's throttle lamps, pixels
};
// The row of a screen size; sizes outside 1..5 give the nearest one.
const ScreenSizeEntry& ScreenSizeEntryOf(int screenSize);
// Sizes outside 1..5 become the nearest one.
int ClampScreenSize(int screenSize);
// The screen size of a Size item (1280x1024 is numbered before 1280x960); 0 for other ids.
int ScreenSizeForItem(int command);
// The Size items in the order of the sizes 1..5.
inline constexpr std::array<int, kScreenSizeCount> kSizeItems = {
    CMD_SIZE_640, CMD_SIZE_800, CMD_SIZE_1024, CMD_SIZE_1280X960, CMD_SIZE_1280X1024};

// The largest screen size whose main window a work area (the screen less the taskbar) of w x h
// holds whole, width and height; 1 when none does.
int DesktopClass(int width, int height);
// Whether the Size item of a screen size is enabled for a desktop class.
bool SizeItemEnabled(int desktopClass, int screenSize);

// Sets `screenSize` and with it the window size, scale factors and lamp bases.
void SetScreenSize(ShellState& shell, int screenSize);
// Window creation: remembers the desktop size, sets the desktop class and the screen size to it.
void StartOnDesktop(ShellState& shell, int desktopWidth, int desktopHeight);
// Repaint: when the desktop size changed, remembers it and returns true with the new class (the
// screen size itself stays).
bool NoteDesktopSize(ShellState& shell, int desktopWidth, int desktopHeight);

struct WindowPosition {
  int x, y;
};
// At (0, 0) when the desktop is at most 50 pixels wider than the window, centred otherwise; the
// top-left never lies above or left of the screen.
WindowPosition PlaceWindow(int desktopWidth, int desktopHeight, int windowWidth, int windowHeight);

}  // namespace kv
