#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fake_port.h"
#include "files/settings.h"
#include "shell/menu_commands.h"
#include "shell/panel_registry.h"
#include "shell/program.h"
#include "temp_dir.h"

namespace kv {
namespace {

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
    program_.settings.startDirectory = dir_.string();
    program_.link.port = &port_;
  }
  std::string Ini() const { return dir_.Read("KV720.ini"); }
  testing::TempDir dir_{"kv720-port"};
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

}  // namespace
}  // namespace kv
