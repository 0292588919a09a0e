#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fake_port.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "shell/shell_logic.h"

namespace kv {
namespace {

TEST(ScreenSizes, DesktopClassTestsInOrder) {
  EXPECT_EQ(5, DesktopClass(1280, 1024));
  EXPECT_EQ(5, DesktopClass(1920, 1080));
  EXPECT_EQ(4, DesktopClass(1280, 960));
  EXPECT_EQ(4, DesktopClass(1600, 1000));
  EXPECT_EQ(3, DesktopClass(1280, 959));
  EXPECT_EQ(3, DesktopClass(1024, 700));  // height is not looked at below 1280 wide
  EXPECT_EQ(3, DesktopClass(1024, 100));
  EXPECT_EQ(2, DesktopClass(1023, 2000));
  EXPECT_EQ(2, DesktopClass(800, 600));
  EXPECT_EQ(1, DesktopClass(799, 2000));
  EXPECT_EQ(1, DesktopClass(0, 0));
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
  // A tall window on a short, wide desktop is centred with a negative y.
  EXPECT_EQ(-50, PlaceWindow(1280, 600, 800, 700).y);
}

TEST(Commands, EachIdMapsToItsAction) {
  EXPECT_EQ(CommandKind::Exit, ClassifyCommand(40002).kind);
  EXPECT_EQ(CommandKind::Nothing, ClassifyCommand(40003).kind);
  EXPECT_EQ(CommandKind::OpenSettingsFile, ClassifyCommand(40014).kind);
  EXPECT_EQ(CommandKind::SaveSettingsFile, ClassifyCommand(40015).kind);
  const int panelItems[] = {40005, 40006, 40007, 40013, 40008, 40010, 40048};
  for (int panel = 1; panel <= 7; ++panel) {
    const Command c = ClassifyCommand(panelItems[panel - 1]);
    EXPECT_EQ(CommandKind::Panel, c.kind);
    EXPECT_EQ(panel, c.value);
    EXPECT_EQ(panelItems[panel - 1], PanelEntryOf(panel)->item);
  }
  for (int port = 1; port <= 4; ++port) {
    const Command c = ClassifyCommand(40018 + port);
    EXPECT_EQ(CommandKind::Port, c.kind);
    EXPECT_EQ(port, c.value);
  }
  EXPECT_EQ(5, ClassifyCommand(40031).value);
  EXPECT_EQ(CommandKind::Size, ClassifyCommand(40030).kind);
  const std::pair<int, const char*> languages[] = {
      {40035, "pol"}, {40036, "ang"}, {40038, "rus"}, {40039, "lit"}, {40042, "ita"}};
  for (auto [item, code] : languages) {
    const Command c = ClassifyCommand(item);
    EXPECT_EQ(CommandKind::Language, c.kind);
    EXPECT_EQ(code, c.language);
  }
  for (int id : {0, 40001, 40004, 40009, 40011, 40012, 40016, 40023, 40033, 40037, 40049, 50000})
    EXPECT_EQ(CommandKind::Unhandled, ClassifyCommand(id).kind) << id;
}

TEST(Panels, TemplatesPerScreenSizeAndCaptions) {
  EXPECT_EQ(106, PanelTemplate(ConfigurationPanel, 1));
  EXPECT_EQ(157, PanelTemplate(ConfigurationPanel, 2));
  EXPECT_EQ(145, PanelTemplate(ConfigurationPanel, 3));
  EXPECT_EQ(151, PanelTemplate(ConfigurationPanel, 4));
  EXPECT_EQ(150, PanelTemplate(ConfigurationPanel, 5));
  EXPECT_EQ(152, PanelTemplate(OptionsPanel, 1));
  EXPECT_EQ(125, PanelTemplate(OptionsPanel, 2));
  EXPECT_EQ(156, PanelTemplate(OptionsPanel, 5));
  for (int size = 1; size <= 5; ++size) {
    EXPECT_EQ(101, PanelTemplate(ReadingsPanel, size));
    EXPECT_EQ(132, PanelTemplate(SchemaPanel, size));
    EXPECT_EQ(126, PanelTemplate(ResetPanel, size));
    EXPECT_EQ(159, PanelTemplate(OscilloscopePanel, size));
    EXPECT_EQ(230, PanelTemplate(InformationDialog, size));
  }
  const int titles[] = {175, 176, 177, 178, 179, 180, 190};
  for (int panel = 1; panel <= 7; ++panel) EXPECT_EQ(titles[panel - 1], PanelEntryOf(panel)->titleText);
  EXPECT_EQ(nullptr, PanelEntryOf(0));
  EXPECT_EQ(nullptr, PanelEntryOf(8));
  EXPECT_EQ(0, PanelTemplate(8, 2));
}

TEST(Languages, MenuItemBitmapsAndPicturePerCode) {
  const LanguageEntry rus = LanguageEntryOf("rus");
  EXPECT_EQ(40038, rus.item);
  EXPECT_EQ(208, rus.menu);
  EXPECT_EQ(1015, rus.bitmapUnchecked);
  EXPECT_EQ(209, rus.bitmapChecked);
  EXPECT_EQ(225, rus.schemaPicture);
  EXPECT_EQ(193, LanguageEntryOf("ang").menu);
  EXPECT_EQ(209, LanguageEntryOf("lit").menu);
  EXPECT_EQ(214, LanguageEntryOf("ita").menu);
  EXPECT_EQ(228, LanguageEntryOf("ita").schemaPicture);
  EXPECT_EQ(227, LanguageEntryOf("pol").schemaPicture);
  for (const LanguageEntry& l : Languages()) EXPECT_EQ(l.code == "ita", TextlessItemLive(l.menu));
  const LanguageEntry other = LanguageEntryOf("deu");
  EXPECT_EQ(148, other.menu);
  EXPECT_EQ(40035, other.item);
  EXPECT_EQ(228, other.schemaPicture);
  std::set<int> bitmaps;
  for (const LanguageEntry& l : Languages()) bitmaps.insert({l.bitmapUnchecked, l.bitmapChecked});
  EXPECT_EQ((std::set<int>{1014, 204, 203, 205, 1015, 209, 1017, 1016, 212, 211}), bitmaps);
}

TEST(MenuState, ChecksFollowPortLanguageAndPanel) {
  ShellState shell;
  shell.portItem = PortItem(3);
  shell.currentPanel = SchemaPanel;
  MenuState menu = ComputeMenuState(shell, "rus");
  EXPECT_EQ(40021, menu.portChecked);
  EXPECT_EQ(40038, menu.languageChecked);
  EXPECT_EQ(40013, menu.panelHighlighted);
  EXPECT_EQ(40035, ComputeMenuState(shell, "xyz").languageChecked);
}

TEST(Ports, NumbersOutsideOneToFourMeanCom1) {
  EXPECT_EQ("COM3:", PortName(3));
  EXPECT_EQ("COM1:", PortName(0));
  EXPECT_EQ("COM1:", PortName(7));
  EXPECT_EQ(40022, PortItem(4));
  EXPECT_EQ(40019, PortItem(7));
  Program program;
  StartOnPort(program, 0);
  EXPECT_EQ("COM1:", program.link.portName);
  EXPECT_EQ(40019, program.shell.portItem);
  StartOnPort(program, 3);
  EXPECT_EQ("COM3:", program.link.portName);
  EXPECT_EQ(40021, program.shell.portItem);
}

class PortSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("kv720-port-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    program_.settings.startDirectory = dir_.string();
    program_.link.port = &port_;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Ini() const {
    std::ifstream in(dir_ / "KV720.ini", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::filesystem::path dir_;
  testing::FakePort port_;
  Program program_;
};

TEST_F(PortSelection, TheSamePortIsClosedAndOpenedAgainAtTheNextExchange) {
  StartOnPort(program_, 2);
  Identify(program_.link);
  ASSERT_EQ(1, port_.opens);
  SelectPort(program_, 2);
  EXPECT_TRUE(std::find(port_.calls.begin(), port_.calls.end(), "close") != port_.calls.end());
  EXPECT_FALSE(program_.link.portOpen);
  port_.ClearLog();
  Identify(program_.link);
  EXPECT_EQ("open COM2:", port_.calls.front());
}

TEST_F(PortSelection, ANewPortIsNamedCheckedAndWrittenWithTheLanguageInUse) {
  program_.settings.languageCode = "lit";
  SelectPort(program_, 4);
  EXPECT_EQ("COM4:", program_.link.portName);
  EXPECT_EQ(4, program_.settings.storedPort);
  EXPECT_EQ(40022, program_.shell.portItem);
  EXPECT_EQ("[Ustawienia]\nCommPort= 4\nLanguage= lit\n", Ini());
  EXPECT_TRUE(port_.calls.empty());  // nothing was open, nothing is opened until the next tick
}

TEST(InformationLayout, ScaledAndFixedValues) {
  const auto places = InformationLayout(1.28, 1.32);
  auto find = [&](int id) {
    return *std::find_if(places.begin(), places.end(), [&](const ControlPlace& p) { return p.control == id; });
  };
  const ControlPlace picture = find(1208);
  EXPECT_EQ(51, picture.x);        // 40 x 1.28 = 51.2
  EXPECT_EQ(26, picture.y);        // 20 x 1.32 = 26.4
  EXPECT_EQ(358, picture.width);   // 280 x 1.28 = 358.4
  EXPECT_EQ(244, picture.height);  // 185 x 1.32 = 244.2
  const ControlPlace version = find(1079);
  EXPECT_EQ(460, version.x);
  EXPECT_EQ(191, version.y);
  EXPECT_EQ(200, version.width);  // fixed in pixels
  EXPECT_EQ(25, version.height);
  EXPECT_EQ(1, find(1209).height);
  EXPECT_EQ(384, find(1209).width);
  const ControlPlace day = find(1013);
  EXPECT_EQ(652, day.x);
  EXPECT_EQ(580, day.y);
  EXPECT_EQ(70, day.width);
  EXPECT_EQ(25u, places.size());
  const auto small = InformationLayout(0.8, 0.77);
  EXPECT_EQ(184, std::find_if(small.begin(), small.end(), [](auto& p) { return p.control == 1199; })->y);
}

TEST(LanguageChange, RelabelledControlsOfResetAndInformation) {
  const auto reset = ResetPanelTexts();
  ASSERT_EQ(3u, reset.size());
  EXPECT_EQ(126, reset[2].control);
  EXPECT_EQ(136, reset[2].text);
  int change = 0;
  for (const ControlText& t : InformationDialogTexts())
    if (t.text == 197) ++change;
  EXPECT_EQ(2, change);  // 1179 and 1180 share "Change"
  EXPECT_EQ(11u, InformationDialogTexts().size());
}

}  // namespace
}  // namespace kv
