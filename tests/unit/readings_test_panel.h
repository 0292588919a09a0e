// A readings panel on the panel rig, over a memory image the test fills.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "readings/readings.h"
#include "scripted_controller.h"
#include "shell/screen_size.h"

namespace kv::testing {

// The panel rig under the names the readings tests use; its controller stays silent until a test
// lets it answer.
struct ReadingsPanel : PanelRig {
  Program& p = program;
  FakeControls& ui = controls;

  explicit ReadingsPanel(int size = 2) {
    SetSize(size);
    p.link.offline = false;
    Set({1, 2}, 0x40);            // version 3
    Set(bytes::Status, 0x08);     // operating
    Set(bytes::EmulType, 0x80);   // full status
    controller.Set(bytes::Status, 0x08);
    controller.answers = false;
    NumberTexts(p, "t");
  }

  void SetSize(int size) { SetScreenSize(p.shell, size); }

  void Set(ByteRef r, std::uint8_t v) { p.link.image.blocks[r.block - 1][r.index] = v; }

  void Refresh() {
    canvas.Clear();
    RefreshReadings(p, canvas, ui);
  }
  void Refresh(int times) {
    for (int i = 0; i < times; ++i) Refresh();
  }

  // The last text drawn with its origin at `at`; fails when there is none.
  DrawCall TextAt(Point at) const {
    for (auto it = canvas.calls.rbegin(); it != canvas.calls.rend(); ++it)
      if (it->kind == DrawCall::Text && it->points[0] == at) return *it;
    ADD_FAILURE() << "no text at " << at.x << "," << at.y;
    return {};
  }
  // The last rectangle drawn exactly at r, or a call of no kind's pen when there is none.
  const DrawCall* RectAt(Rect r) const {
    for (auto it = canvas.calls.rbegin(); it != canvas.calls.rend(); ++it)
      if (it->kind == DrawCall::Rectangle && it->rect == r) return &*it;
    return nullptr;
  }
  // What message line k (1..5, 800x600) received in the last refresh: its text, or "-" when
  // the line was not drawn.
  std::string Line(int k) const {
    const Rect line{40, 385 + 20 * k, 440, 405 + 20 * k};
    for (auto it = canvas.calls.rbegin(); it != canvas.calls.rend(); ++it)
      if (it->kind == DrawCall::Text && it->rect == line) return it->text;
    return "-";
  }
  Rgb LineColour(int k) const {
    const Rect line{40, 385 + 20 * k, 440, 405 + 20 * k};
    for (auto it = canvas.calls.rbegin(); it != canvas.calls.rend(); ++it)
      if (it->kind == DrawCall::Text && it->rect == line) return it->textColour;
    return {1, 2, 3};
  }
  // Fill of the fuel-state field in the last refresh, or none when it was not drawn.
  const DrawCall* FuelField() const { return RectAt({490, 465, 615, 505}); }
  Rgb LearnLamp() const { return canvas.Of(DrawCall::Ellipse).back().brush.colour; }
};

}  // namespace kv::testing
