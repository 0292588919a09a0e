// Program-wide state of the schema panel: where its view lies and which part of the picture it
// shows. Set up afresh each time the panel is created.
#pragma once

namespace kv {

struct SchemaView {
  bool scrolled = false;          // the two small sizes: part of the picture, two scroll bars
  int x = 0, y = 0;               // the view's top-left corner on the panel
  int width = 0, height = 0;      // how much of the picture it shows
  int maxX = 0, maxY = 0;         // the largest offsets (the scroll ranges start at 0)
};

struct SchemaState {
  SchemaView view;
  int picture = 0;                // bitmap resource of the current language
  int offsetX = 0, offsetY = 0;   // the picture's point shown at the view's top-left corner
};

}  // namespace kv
