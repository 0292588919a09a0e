#include "schema/schema.h"

#include <algorithm>

#include "files/language.h"
#include "ui/canvas.h"
#include "ui/controls.h"

namespace kv {
namespace {

constexpr int kLine = 10;
constexpr int kPage = 50;

// The two sizes in which the picture is larger than the view: where the view and the bars lie.
struct ScrolledLayout {
  int viewWidth, viewHeight;
  int barThickness;
};
constexpr ScrolledLayout kSize640{600, 370, 15};
constexpr ScrolledLayout kSize800{750, 485, 20};
constexpr int kViewMargin = 10;

SchemaView Scrolled(const ScrolledLayout& layout) {
  SchemaView view;
  view.scrolled = true;
  view.x = view.y = kViewMargin;
  view.width = layout.viewWidth;
  view.height = layout.viewHeight;
  view.maxX = kSchemaPictureWidth - layout.viewWidth;
  view.maxY = kSchemaPictureHeight - layout.viewHeight;
  return view;
}

const ScrolledLayout* ScrolledLayoutFor(int screenSize) {
  if (screenSize == 1) return &kSize640;
  if (screenSize == 2) return &kSize800;
  return nullptr;
}

void PlaceBars(const SchemaView& view, const ScrolledLayout& layout, Controls& controls) {
  controls.Move(kSchemaHorizontalBar, view.x, view.y + view.height, view.width,
                layout.barThickness);
  controls.Move(kSchemaVerticalBar, view.x + view.width, view.y, layout.barThickness,
                view.height);
  controls.SetRange(kSchemaHorizontalBar, 0, view.maxX);
  controls.SetRange(kSchemaVerticalBar, 0, view.maxY);
  controls.SetPosition(kSchemaHorizontalBar, 0);
  controls.SetPosition(kSchemaVerticalBar, 0);
}

}  // namespace

// The language table says which picture each language shows.
int SchemaPictureFor(std::string_view languageCode) {
  return LanguageEntryOf(languageCode).schemaPicture;
}

SchemaView SchemaViewFor(int screenSize, int clientWidth, int clientHeight) {
  if (const ScrolledLayout* layout = ScrolledLayoutFor(screenSize)) return Scrolled(*layout);
  SchemaView view;
  view.x = (clientWidth - kSchemaPictureWidth) / 2;
  view.y = (clientHeight - kSchemaPictureHeight) / 2;
  view.width = kSchemaPictureWidth;
  view.height = kSchemaPictureHeight;
  return view;
}

int ScrollOffset(int offset, int maximum, int request, int thumb) {
  switch (request) {
    case ScrollThumbTrack: return thumb;
    case ScrollPageDown: return std::min(offset + kPage, maximum);
    case ScrollPageUp: return std::max(offset - kPage, 0);
    case ScrollLineDown: return std::min(offset + kLine, maximum);
    case ScrollLineUp: return std::max(offset - kLine, 0);
    default: return offset;
  }
}

void SetUpSchema(SchemaState& state, int screenSize, int clientWidth, int clientHeight,
                 std::string_view languageCode, Controls& controls, Canvas& canvas) {
  state.offsetX = state.offsetY = 0;
  state.view = SchemaViewFor(screenSize, clientWidth, clientHeight);
  if (const ScrolledLayout* layout = ScrolledLayoutFor(screenSize))
    PlaceBars(state.view, *layout, controls);
  controls.Show(kSchemaHorizontalBar, state.view.scrolled);
  controls.Show(kSchemaVerticalBar, state.view.scrolled);
  state.picture = SchemaPictureFor(languageCode);
  CopySchemaView(state, canvas);
}

void ScrollSchema(SchemaState& state, bool horizontal, int request, int thumb,
                  Controls& controls, Canvas& canvas) {
  if (!state.view.scrolled) return;
  int& offset = horizontal ? state.offsetX : state.offsetY;
  offset = ScrollOffset(offset, horizontal ? state.view.maxX : state.view.maxY, request, thumb);
  controls.SetPosition(horizontal ? kSchemaHorizontalBar : kSchemaVerticalBar, offset);
  CopySchemaView(state, canvas);
}

void CopySchemaView(const SchemaState& state, Canvas& canvas) {
  if (!state.picture) return;
  const SchemaView& v = state.view;
  canvas.Bitmap(state.picture, {v.x, v.y},
                {state.offsetX, state.offsetY, state.offsetX + v.width, state.offsetY + v.height});
}

}  // namespace kv
