#include <gtest/gtest.h>

#include <set>

#include "shell/panel_registry.h"
#include "shell/program.h"

namespace kv {
namespace {

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

TEST(Panels, EveryRowSitsAtItsNumberWithItsOwnMenuItemAndATemplatePerSize) {
  std::set<int> items;
  for (const PanelEntry& row : Panels()) {
    EXPECT_EQ(&row, PanelEntryOf(row.panel)) << row.panel;
    EXPECT_EQ(row.panel, PanelForItem(row.item)) << row.panel;
    items.insert(row.item);
    for (int id : row.templates) EXPECT_NE(0, id) << row.panel;
  }
  EXPECT_EQ(std::set<int>(kPanelItems.begin(), kPanelItems.end()), items);
  EXPECT_EQ(static_cast<std::size_t>(kPanelCount), Panels().size());
}

}  // namespace
}  // namespace kv
