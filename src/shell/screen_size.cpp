#include "shell/screen_size.h"

#include "shell/program.h"

namespace kv {
namespace {

constexpr ScreenSizeEntry kScreenSizes[kScreenSizeCount] = {
    {CMD_SIZE_640, 640, 450, 0.8, 0.77, {113, 172, 231, 290}},
    {CMD_SIZE_800, 800, 570, 1.0, 1.0, {140, 214, 288, 362}},
    {CMD_SIZE_1024, 1024, 738, 1.28, 1.32, {180, 274, 368, 462}},
    {CMD_SIZE_1280X960, 1280, 930, 1.6, 1.69, {225, 343, 461, 579}},
    {CMD_SIZE_1280X1024, 1280, 994, 1.6, 1.81, {225, 343, 461, 579}},
};

}  // namespace

int ClampScreenSize(int screenSize) {
  return screenSize < 1 ? 1 : screenSize > kScreenSizeCount ? kScreenSizeCount : screenSize;
}

const ScreenSizeEntry& ScreenSizeEntryOf(int screenSize) {
  return kScreenSizes[ClampScreenSize(screenSize) - 1];
}

int ScreenSizeForItem(int command) {
  for (int size = 1; size <= kScreenSizeCount; ++size)
    if (kSizeItems[size - 1] == command) return size;
  return 0;
}

int DesktopClass(int width, int height) {
  // On a whole screen of 640x480 .. 1280x1024 this is that screen's own size; on the work area of
  // a laptop (1366x768 less the taskbar, or 1920x1080 at 150 %) it is the size whose window is
  // seen whole, bottom rows included.
  for (int size = kScreenSizeCount; size > 1; --size) {
    const ScreenSizeEntry& entry = ScreenSizeEntryOf(size);
    if (entry.windowWidth <= width && entry.windowHeight <= height) return size;
  }
  return 1;
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
  // A window taller than the desktop (a scaled laptop screen) keeps its caption on the screen,
  // where it can be grabbed.
  const int y = (desktopHeight - windowHeight) / 2;
  return {(desktopWidth - windowWidth) / 2, y < 0 ? 0 : y};
}

}  // namespace kv
