// Controls of one dialog, through SendDlgItemMessageW.
#pragma once

#include <windows.h>

#include "ui/controls.h"

namespace kv {

class DialogControls final : public Controls {
 public:
  explicit DialogControls(HWND dialog) : dialog_(dialog) {}

  void ClearList(int id) override;
  void AddListItem(int id, std::string_view text) override;
  void SelectListItem(int id, int index) override;
  int ListSelection(int id) const override;
  int ListCount(int id) const override;
  void SetCheck(int id, bool checked) override;
  bool IsChecked(int id) const override;
  void Enable(int id, bool enabled) override;
  void Show(int id, bool visible) override;
  void SetText(int id, std::string_view text) override;
  std::string Text(int id) const override;
  void Move(int id, int x, int y, int width, int height) override;
  void SetReadOnly(int id, bool readOnly) override;
  void LimitText(int id, int count) override;
  void SetRange(int id, int minimum, int maximum) override;
  void SetPosition(int id, int position) override;
  int Position(int id) const override;

 private:
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  HWND dialog_;
};

}  // namespace kv
