#include <gtest/gtest.h>

#include <array>

#include "shell/menu_commands.h"
#include "shell/program.h"
#include "shell/screen_size.h"

namespace kv {
namespace {

TEST(ScreenSizes, DesktopClassIsTheLargestWindowTheWorkAreaHoldsWhole) {
  const struct {
    int width, height, size;
    const char* what;
  } cases[] = {
      {1280, 1024, 5, "whole 1280x1024 screen"},
      {1280, 994, 5, "exactly the size 5 window"},
      {1280, 984, 4, "1280x1024 less a 40 px taskbar"},
      {1280, 960, 4, "whole 1280x960 screen"},
      {1280, 929, 3, "one row short of size 4"},
      {1920, 1040, 5, "1920x1080 less the taskbar"},
      {1366, 728, 2, "1366x768 less the taskbar: 1024x738 would hide its bottom"},
      {1280, 688, 2, "1920x1080 at 150 % (1280x720) less the taskbar"},
      {1093, 582, 2, "1366x768 at 125 % less the taskbar"},
      {1024, 768, 3, "whole 1024x768 screen"},
      {1024, 728, 2, "1024x768 less the taskbar"},
      {1023, 2000, 2, "too narrow for size 3"},
      {800, 600, 2, "whole 800x600 screen"},
      {800, 560, 1, "800x600 less the taskbar"},
      {1280, 400, 1, "nothing fits: the smallest"},
      {0, 0, 1, "no work area"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.size, DesktopClass(c.width, c.height)) << c.what;
}

TEST(ScreenSizes, StartOnA1280By960DesktopIsSize4WithoutTheLargestItem) {
  ShellState shell;
  StartOnDesktop(shell, 1280, 960);
  EXPECT_EQ(4, shell.screenSize);
  EXPECT_EQ(1280, shell.windowWidth);
  EXPECT_EQ(930, shell.windowHeight);
  EXPECT_DOUBLE_EQ(1.6, shell.scaleX);
  EXPECT_DOUBLE_EQ(1.69, shell.scaleY);
  EXPECT_EQ((std::array<int, 4>{225, 343, 461, 579}), shell.lampBases);
  const MenuState menu = ComputeMenuState(shell, "pol");
  EXPECT_EQ((std::array<bool, 5>{true, true, true, true, false}), menu.sizeEnabled);
  EXPECT_EQ(40032, menu.sizeChecked);  // 1280x960 is the item numbered after 1280x1024
}

TEST(ScreenSizes, TableRowsAndSizeItems) {
  const int widths[] = {640, 800, 1024, 1280, 1280};
  const int heights[] = {450, 570, 738, 930, 994};
  const double scaleY[] = {0.77, 1.0, 1.32, 1.69, 1.81};
  for (int size = 1; size <= 5; ++size) {
    ShellState shell;
    SetScreenSize(shell, size);
    EXPECT_EQ(size, shell.screenSize);
    EXPECT_EQ(widths[size - 1], shell.windowWidth);
    EXPECT_EQ(heights[size - 1], shell.windowHeight);
    EXPECT_DOUBLE_EQ(scaleY[size - 1], shell.scaleY);
    EXPECT_EQ(size, ScreenSizeForItem(ScreenSizeEntryOf(size).sizeItem));
  }
  EXPECT_EQ(5, ScreenSizeForItem(40031));
  EXPECT_EQ(4, ScreenSizeForItem(40032));
  EXPECT_EQ(0, ScreenSizeForItem(40033));
  ShellState shell;
  SetScreenSize(shell, 1);
  EXPECT_EQ((std::array<int, 4>{113, 172, 231, 290}), shell.lampBases);
  EXPECT_DOUBLE_EQ(0.8, shell.scaleX);
}

TEST(ScreenSizes, EnabledItemsPerDesktopClass) {
  for (int cls = 1; cls <= 5; ++cls) {
    ShellState shell;
    shell.desktopClass = cls;
    const MenuState menu = ComputeMenuState(shell, "pol");
    for (int size = 1; size <= 5; ++size)
      EXPECT_EQ(size <= cls, menu.sizeEnabled[size - 1]) << "class " << cls << " size " << size;
  }
}

TEST(ScreenSizes, ADesktopChangeOnlyChangesTheEnabling) {
  ShellState shell;
  StartOnDesktop(shell, 1280, 1024);
  EXPECT_FALSE(NoteDesktopSize(shell, 1280, 1024));
  EXPECT_TRUE(NoteDesktopSize(shell, 800, 600));
  EXPECT_EQ(2, shell.desktopClass);
  EXPECT_EQ(5, shell.screenSize);
  EXPECT_EQ(994, shell.windowHeight);
}

TEST(Placement, CentredUnlessTheDesktopIsAtMost50PixelsWider) {
  EXPECT_EQ(0, PlaceWindow(1280, 960, 1280, 930).x);
  EXPECT_EQ(0, PlaceWindow(690, 2000, 640, 450).y);  // 50 wider: corner, height not looked at
  const WindowPosition centred = PlaceWindow(691, 501, 640, 450);
  EXPECT_EQ(25, centred.x);  // 51 / 2
  EXPECT_EQ(25, centred.y);
  const WindowPosition big = PlaceWindow(1920, 1080, 1024, 738);
  EXPECT_EQ(448, big.x);
  EXPECT_EQ(171, big.y);
  EXPECT_EQ(0, PlaceWindow(600, 400, 640, 450).x);  // narrower desktop than window
  // A window taller than the desktop keeps its caption on the screen: 125 % of 1366 x 768 and
  // 150 % of 1920 x 1080 would put it at y -62 and -9.
  EXPECT_EQ(0, PlaceWindow(1280, 600, 800, 700).y);
  const WindowPosition scaled125 = PlaceWindow(1093, 614, 1024, 738);
  EXPECT_EQ(34, scaled125.x);
  EXPECT_EQ(0, scaled125.y);
  EXPECT_EQ(0, PlaceWindow(1280, 720, 1024, 738).y);
}

}  // namespace
}  // namespace kv
