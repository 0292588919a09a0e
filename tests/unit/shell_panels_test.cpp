#include <gtest/gtest.h>

#include <algorithm>

#include "shell/panel_registry.h"
#include "shell/program.h"
#include "shell/template_panels.h"

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
