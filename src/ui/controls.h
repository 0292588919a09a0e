// The seam between a panel's logic and its dialog: controls addressed by the template's ids.
// The Win32 side implements it with SendDlgItemMessage; tests use a recording fake. Below the
// interface: what every panel does with it (notification codes, list picks, text tables).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace kv {

// Scroll bar notifications, numbered as the platform numbers them (on a horizontal bar "up" is
// left and "down" is right).
enum ScrollRequest {
  ScrollLineUp = 0,
  ScrollLineDown = 1,
  ScrollPageUp = 2,
  ScrollPageDown = 3,
  ScrollThumbPosition = 4,
  ScrollThumbTrack = 5,
  ScrollEnd = 8,  // the bar was released: the move is over
};

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

  // Edit fields: read-only or writable by the user; at most `count` characters typed.
  virtual void SetReadOnly(int id, bool readOnly) = 0;
  virtual void LimitText(int id, int count) = 0;

  // Scroll bars and progress bars.
  virtual void SetRange(int id, int minimum, int maximum) = 0;
  virtual void SetPosition(int id, int position) = 0;
  virtual int Position(int id) const = 0;
};

// Notification codes a command handler tells apart (the values Win32 sends in WM_COMMAND's high
// word; controls_win32.cpp checks them against <windows.h>).
inline constexpr int kButtonClicked = 0;        // BN_CLICKED
inline constexpr int kListSelectionChange = 1;  // CBN_SELCHANGE
inline constexpr int kListDropDown = 7;         // CBN_DROPDOWN

// The ids a dialog's default button and its Esc key or close box report (IDOK, IDCANCEL).
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// Selects `index`, or nothing when the list has no such item. An unchanged selection is left
// alone, so that a list does not repaint at every tick.
void Select(Controls& controls, int id, int index);
// The index of a byte in a list whose first item stands for byte 1 (a zero byte shows the first
// item).
constexpr int FromOne(std::uint8_t byte) { return byte == 0 ? 0 : byte - 1; }
// The index a list pick reports, or -1 when the list reports "no selection" (no value to send).
int PickedIndex(const Controls& controls, int id);

// Sets a text only when it differs from the shown one, so that a text refreshed at every tick
// does not repaint (and flicker) each time.
void SetTextIfChanged(Controls& controls, int id, std::string_view text);

void EnableControls(Controls& controls, std::initializer_list<int> ids, bool enabled);
void ShowControls(Controls& controls, std::initializer_list<int> ids, bool shown);

// A control and the language text it shows.
struct ControlText {
  int control;
  int text;
};
// Puts each control's text of `texts` (anything indexed by text number giving UTF-8) on it.
template <typename Texts>
void ApplyControlTexts(Controls& controls, std::span<const ControlText> table, const Texts& texts) {
  for (const ControlText& t : table) controls.SetText(t.control, texts[t.text]);
}

}  // namespace kv
