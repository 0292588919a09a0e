// The seam between a panel's logic and its dialog: controls addressed by the template's ids.
// The Win32 side implements it with SendDlgItemMessage; tests use a recording fake.
#pragma once

#include <string>
#include <string_view>

namespace kv {

class Controls {
 public:
  virtual ~Controls() = default;

  // Drop-down lists.
  virtual void ClearList(int id) = 0;
  virtual void AddListItem(int id, std::string_view text) = 0;
  virtual void SelectListItem(int id, int index) = 0;  // -1 leaves the list without a selection
  virtual int ListSelection(int id) const = 0;         // -1 when nothing is selected
  virtual int ListCount(int id) const = 0;

  // Check boxes.
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;

  // Any control. Texts are UTF-8.
  virtual void Enable(int id, bool enabled) = 0;
  virtual void Show(int id, bool visible) = 0;
  virtual void SetText(int id, std::string_view text) = 0;
  virtual std::string Text(int id) const = 0;
  virtual void Move(int id, int x, int y, int width, int height) = 0;

  // Scroll bars and progress bars.
  virtual void SetRange(int id, int minimum, int maximum) = 0;
  virtual void SetPosition(int id, int position) = 0;
  virtual int Position(int id) const = 0;
};

}  // namespace kv
