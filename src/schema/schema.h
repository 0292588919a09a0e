// The schema panel: the wiring diagram of the current language, copied unchanged onto the panel.
// In the two small screen sizes only a view of it shows, moved with two scroll bars; in the
// larger sizes it shows whole, centred in the main window's client area.
#pragma once

#include <string_view>

#include "schema_ids.h"
#include "schema/schema_state.h"
#include "ui/controls.h"

namespace kv {

class Canvas;

inline constexpr int kSchemaPictureWidth = 961;
inline constexpr int kSchemaPictureHeight = 636;
inline constexpr int kSchemaHorizontalBar = IDC_SCHEMA_HSCROLL;
inline constexpr int kSchemaVerticalBar = IDC_SCHEMA_VSCROLL;

// The picture of a language code: "rus" 225, "lit" 226, "pol" 227, anything else the English 228.
int SchemaPictureFor(std::string_view languageCode);

// The view of a screen size (1..5); `clientWidth` x `clientHeight` is the main window's client
// area, in which the larger sizes centre the whole picture.
SchemaView SchemaViewFor(int screenSize, int clientWidth, int clientHeight);

// One notification's effect on an offset whose range is 0..maximum: lines move by 10, pages by
// 50, both kept inside the range; thumb tracking takes the thumb's position as reported; any
// other request leaves the offset as it is.
int ScrollOffset(int offset, int maximum, int request, int thumb);

// Set-up: offsets 0, the bars placed and shown (small sizes, with their ranges and positions) or
// hidden, the picture of the language chosen, and the view copied.
void SetUpSchema(SchemaState& state, int screenSize, int clientWidth, int clientHeight,
                 std::string_view languageCode, Controls& controls, Canvas& canvas);

// A notification of the horizontal (`horizontal`) or vertical bar: the offset moves, the bar
// follows it and the view is copied again. Without bars (the larger sizes) nothing scrolls.
void ScrollSchema(SchemaState& state, bool horizontal, int request, int thumb,
                  Controls& controls, Canvas& canvas);

// Copies the view-sized part of the picture at the offsets to the view's position.
void CopySchemaView(const SchemaState& state, Canvas& canvas);

}  // namespace kv
