// The schema panel's logic: the picture of each language, the view of each screen size, the
// scroll rules and what set-up and scrolling do to the bars and the copied view.
#include <gtest/gtest.h>

#include <array>

#include "fake_controls.h"
#include "recording_canvas.h"
#include "schema/schema.h"

namespace kv {
namespace {

using testing::DrawCall;

TEST(SchemaPicture, ChosenByLanguageCodeWithEnglishForAnyOther) {
  const struct {
    const char* code;
    int picture;
  } cases[] = {{"rus", 225}, {"lit", 226}, {"pol", 227}, {"ang", 228},
               {"ita", 228}, {"", 228},    {"RUS", 228}, {"po", 228}};
  for (const auto& c : cases) EXPECT_EQ(SchemaPictureFor(c.code), c.picture) << c.code;
}

TEST(SchemaView, SmallSizesScrollAViewLargerSizesCentreTheWholePicture) {
  const struct {
    int size, clientWidth, clientHeight;
    SchemaView view;
  } cases[] = {
      {1, 634, 405, {true, 10, 10, 600, 370, 361, 266}},
      {2, 794, 525, {true, 10, 10, 750, 485, 211, 151}},
      {3, 1018, 693, {false, 28, 28, 961, 636, 0, 0}},
      {4, 1274, 885, {false, 156, 124, 961, 636, 0, 0}},
      {5, 1274, 949, {false, 156, 156, 961, 636, 0, 0}},
  };
  for (const auto& c : cases) {
    const SchemaView v = SchemaViewFor(c.size, c.clientWidth, c.clientHeight);
    EXPECT_EQ(v.scrolled, c.view.scrolled) << c.size;
    EXPECT_EQ(v.x, c.view.x) << c.size;
    EXPECT_EQ(v.y, c.view.y) << c.size;
    EXPECT_EQ(v.width, c.view.width) << c.size;
    EXPECT_EQ(v.height, c.view.height) << c.size;
    EXPECT_EQ(v.maxX, c.view.maxX) << c.size;
    EXPECT_EQ(v.maxY, c.view.maxY) << c.size;
  }
}

TEST(SchemaScroll, LinesAndPagesStayInsideZeroToMaximumThumbIsTakenAsReported) {
  const struct {
    int offset, request, thumb, expected;
  } cases[] = {
      {350, ScrollPageDown, 0, 361},  // stops at the maximum
      {300, ScrollPageDown, 0, 350},
      {361, ScrollPageDown, 0, 361},
      {30, ScrollPageUp, 0, 0},       // the first column can be reached again
      {100, ScrollPageUp, 0, 50},
      {355, ScrollLineDown, 0, 361},
      {100, ScrollLineDown, 0, 110},
      {5, ScrollLineUp, 0, 0},
      {0, ScrollLineUp, 0, 0},
      {100, ScrollLineUp, 0, 90},
      {100, ScrollThumbTrack, 250, 250},
      {100, ScrollThumbTrack, 0, 0},
      {100, ScrollThumbPosition, 250, 100},  // only tracking moves the picture
      {100, 6, 0, 100},                      // top, bottom, end of scroll: unchanged
      {100, 7, 0, 100},
      {100, 8, 0, 100},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScrollOffset(c.offset, 361, c.request, c.thumb), c.expected)
        << "offset " << c.offset << " request " << c.request;
}

struct SchemaPanel : ::testing::Test {
  SchemaState state;
  testing::FakeControls controls;
  testing::RecordingCanvas canvas;

  void SetUp(int size, const char* language = "pol") {
    controls[kSchemaHorizontalBar].visible = false;
    controls[kSchemaVerticalBar].visible = false;
    SetUpSchema(state, size, 1018, 693, language, controls, canvas);
  }
  void Scroll(bool horizontal, int request, int thumb = 0) {
    canvas.Clear();
    ScrollSchema(state, horizontal, request, thumb, controls, canvas);
  }
  // The one copy of the view the last step made.
  DrawCall Copy() const {
    const auto copies = canvas.Of(DrawCall::Bitmap);
    EXPECT_EQ(copies.size(), 1u);
    return copies.empty() ? DrawCall{} : copies.back();
  }
};

TEST_F(SchemaPanel, SetUpAt640ShowsPlacesAndRangesBothBarsAndCopiesTheTopLeftView) {
  SetUp(1);
  const auto& h = controls[kSchemaHorizontalBar];
  const auto& v = controls[kSchemaVerticalBar];
  EXPECT_TRUE(h.visible);
  EXPECT_TRUE(v.visible);
  EXPECT_EQ((std::array{h.x, h.y, h.width, h.height}), (std::array{10, 380, 600, 15}));
  EXPECT_EQ((std::array{v.x, v.y, v.width, v.height}), (std::array{610, 10, 15, 370}));
  EXPECT_EQ((std::array{h.minimum, h.maximum, h.position}), (std::array{0, 361, 0}));
  EXPECT_EQ((std::array{v.minimum, v.maximum, v.position}), (std::array{0, 266, 0}));
  const DrawCall copy = Copy();
  EXPECT_EQ(copy.resourceId, 227);
  EXPECT_EQ(copy.points.at(0), (Point{10, 10}));
  EXPECT_EQ(copy.rect, (Rect{0, 0, 600, 370}));
}

TEST_F(SchemaPanel, SetUpAt800PlacesTheWiderBars) {
  SetUp(2, "rus");
  const auto& h = controls[kSchemaHorizontalBar];
  const auto& v = controls[kSchemaVerticalBar];
  EXPECT_EQ((std::array{h.x, h.y, h.width, h.height}), (std::array{10, 495, 750, 20}));
  EXPECT_EQ((std::array{v.x, v.y, v.width, v.height}), (std::array{760, 10, 20, 485}));
  EXPECT_EQ(h.maximum, 211);
  EXPECT_EQ(v.maximum, 151);
  EXPECT_EQ(Copy().resourceId, 225);
  EXPECT_EQ(Copy().rect, (Rect{0, 0, 750, 485}));
}

TEST_F(SchemaPanel, LargerSizesHideTheBarsCopyTheWholePictureCentredAndNeverScroll) {
  SetUp(3, "ita");
  EXPECT_FALSE(controls[kSchemaHorizontalBar].visible);
  EXPECT_FALSE(controls[kSchemaVerticalBar].visible);
  EXPECT_EQ(Copy().resourceId, 228);
  EXPECT_EQ(Copy().points.at(0), (Point{28, 28}));
  EXPECT_EQ(Copy().rect, (Rect{0, 0, 961, 636}));
  for (int request : {ScrollPageDown, ScrollLineDown, ScrollThumbTrack}) {
    Scroll(true, request, 100);
    Scroll(false, request, 100);
    EXPECT_TRUE(canvas.calls.empty());
  }
  EXPECT_EQ(state.offsetX, 0);
  EXPECT_EQ(state.offsetY, 0);
}

TEST_F(SchemaPanel, EveryNotificationMovesItsBarAndCopiesTheViewAtTheNewOffsets) {
  SetUp(1);
  for (int i = 0; i < 8; ++i) Scroll(true, ScrollPageDown);
  EXPECT_EQ(controls[kSchemaHorizontalBar].position, 361);
  EXPECT_EQ(Copy().rect, (Rect{361, 0, 961, 370}));
  Scroll(false, ScrollThumbTrack, 120);
  EXPECT_EQ(controls[kSchemaVerticalBar].position, 120);
  EXPECT_EQ(controls[kSchemaHorizontalBar].position, 361);
  EXPECT_EQ(Copy().rect, (Rect{361, 120, 961, 490}));
  EXPECT_EQ(Copy().points.at(0), (Point{10, 10}));
  Scroll(false, 8);  // the end of a scroll copies the view too
  EXPECT_EQ(Copy().rect, (Rect{361, 120, 961, 490}));
  for (int i = 0; i < 40; ++i) Scroll(true, ScrollLineUp);
  EXPECT_EQ(controls[kSchemaHorizontalBar].position, 0);
  EXPECT_EQ(Copy().rect, (Rect{0, 120, 600, 490}));
}

TEST_F(SchemaPanel, SetUpAgainStartsFromTheTopLeftInTheNewLanguage) {
  SetUp(1);
  Scroll(true, ScrollPageDown);
  Scroll(false, ScrollPageDown);
  canvas.Clear();
  SetUp(1, "lit");
  EXPECT_EQ(controls[kSchemaHorizontalBar].position, 0);
  EXPECT_EQ(controls[kSchemaVerticalBar].position, 0);
  EXPECT_EQ(Copy().resourceId, 226);
  EXPECT_EQ(Copy().rect, (Rect{0, 0, 600, 370}));
}

}  // namespace
}  // namespace kv
