// A stateful Controls fake: remembers what the panel logic set, so a test can ask what a user
// would see ("list 1022 selects index 10", "control 1025 is disabled").
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace kv::testing {

struct FakeControl {
  std::vector<std::string> items;
  int selection = -1;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
  bool readOnly = false;
  int textLimit = 0;  // 0: no limit set
  int minimum = 0, maximum = 0, position = 0;
  int clears = 0;  // times the list was emptied: a rebuilt list shows here
};

class FakeControls final : public Controls {
 public:
  std::map<int, FakeControl> controls;

  FakeControl& operator[](int id) { return controls[id]; }

  void ClearList(int id) override {
    controls[id].items.clear();
    controls[id].selection = -1;
    ++controls[id].clears;
  }
  void AddListItem(int id, std::string_view text) override {
    controls[id].items.emplace_back(text);
  }
  void SelectListItem(int id, int index) override {
    auto& c = controls[id];
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
  }
  int ListSelection(int id) const override { return Find(id).selection; }
  int ListCount(int id) const override { return static_cast<int>(Find(id).items.size()); }
  void SetCheck(int id, bool checked) override { controls[id].checked = checked; }
  bool IsChecked(int id) const override { return Find(id).checked; }
  void Enable(int id, bool enabled) override { controls[id].enabled = enabled; }
  void Show(int id, bool visible) override { controls[id].visible = visible; }
  void SetText(int id, std::string_view text) override { controls[id].text = std::string(text); }
  std::string Text(int id) const override { return Find(id).text; }
  void Move(int id, int x, int y, int width, int height) override {
    auto& c = controls[id];
    c.x = x, c.y = y, c.width = width, c.height = height;
  }
  void SetReadOnly(int id, bool readOnly) override { controls[id].readOnly = readOnly; }
  void LimitText(int id, int count) override { controls[id].textLimit = count; }
  void SetRange(int id, int minimum, int maximum) override {
    controls[id].minimum = minimum;
    controls[id].maximum = maximum;
  }
  void SetPosition(int id, int position) override { controls[id].position = position; }
  int Position(int id) const override { return Find(id).position; }

  // The text of the selected item, or "" when nothing is selected.
  std::string SelectedText(int id) const {
    const auto& c = Find(id);
    return c.selection >= 0 ? c.items[static_cast<std::size_t>(c.selection)] : std::string();
  }

 private:
  const FakeControl& Find(int id) const {
    static const FakeControl none;
    auto it = controls.find(id);
    return it == controls.end() ? none : it->second;
  }
};

}  // namespace kv::testing
