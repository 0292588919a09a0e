#include "ui/controls.h"

namespace kv {

void Select(Controls& controls, int id, int index) {
  if (index < 0 || index >= controls.ListCount(id)) index = -1;
  if (controls.ListSelection(id) != index) controls.SelectListItem(id, index);
}

int PickedIndex(const Controls& controls, int id) {
  const int index = controls.ListSelection(id);
  return (index >= 0 && index < controls.ListCount(id)) ? index : -1;
}

void SetTextIfChanged(Controls& controls, int id, std::string_view text) {
  if (controls.Text(id) != text) controls.SetText(id, text);
}

void EnableControls(Controls& controls, std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) controls.Enable(id, enabled);
}

void ShowControls(Controls& controls, std::initializer_list<int> ids, bool shown) {
  for (int id : ids) controls.Show(id, shown);
}

}  // namespace kv
