#include "ui/controls_win32.h"

#include <commctrl.h>

#include "files/text_win32.h"

namespace kv {
namespace {

// Scroll bars keep their position in the control; progress bars and track bars take messages.
bool IsScrollBar(HWND item) {
  wchar_t cls[32] = {};
  GetClassNameW(item, cls, 32);
  return lstrcmpiW(cls, L"ScrollBar") == 0;
}

static_assert(kButtonClicked == BN_CLICKED && kListSelectionChange == CBN_SELCHANGE &&
              kListDropDown == CBN_DROPDOWN);
static_assert(ScrollLineUp == SB_LINEUP && ScrollLineDown == SB_LINEDOWN &&
              ScrollPageUp == SB_PAGEUP && ScrollPageDown == SB_PAGEDOWN &&
              ScrollThumbPosition == SB_THUMBPOSITION && ScrollThumbTrack == SB_THUMBTRACK &&
              ScrollEnd == SB_ENDSCROLL);
static_assert(kDialogOk == IDOK && kDialogCancel == IDCANCEL);

// With Common Controls 6 a progress bar glides towards a higher position on a timer of its own,
// which never runs while a procedure blocks the message loop (the factory reset): the bar would
// stand still and jump at the end. A move backwards is drawn at once, so the bar is set one step
// past the position and then back to it (the range widened by one for the last step), and
// painted before the next exchange.
void ShowProgressAtOnce(HWND bar, int position) {
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const bool atEnd = position >= range.iHigh;
  if (atEnd) SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(range.iLow), position + 1);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  if (atEnd) SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(range.iLow), range.iHigh);
  UpdateWindow(bar);
}

}  // namespace

void DialogControls::ClearList(int id) { SendDlgItemMessageW(dialog_, id, CB_RESETCONTENT, 0, 0); }

void DialogControls::AddListItem(int id, std::string_view text) {
  const std::wstring wide = Widen(text);
  SendDlgItemMessageW(dialog_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void DialogControls::SelectListItem(int id, int index) {
  SendDlgItemMessageW(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int DialogControls::ListSelection(int id) const {
  return static_cast<int>(SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0));
}

int DialogControls::ListCount(int id) const {
  return static_cast<int>(SendDlgItemMessageW(dialog_, id, CB_GETCOUNT, 0, 0));
}

void DialogControls::SetCheck(int id, bool checked) {
  CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool DialogControls::IsChecked(int id) const {
  return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

void DialogControls::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled); }

void DialogControls::Show(int id, bool visible) {
  ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE);
}

void DialogControls::SetText(int id, std::string_view text) {
  SetDlgItemTextW(dialog_, id, Widen(text).c_str());
}

std::string DialogControls::Text(int id) const {
  wchar_t buffer[512] = {};
  GetDlgItemTextW(dialog_, id, buffer, 512);
  return Narrow(buffer);
}

void DialogControls::Move(int id, int x, int y, int width, int height) {
  MoveWindow(Item(id), x, y, width, height, TRUE);
}

void DialogControls::SetReadOnly(int id, bool readOnly) {
  // Only a change goes to the edit, which repaints its background for it.
  const bool now = (GetWindowLongW(Item(id), GWL_STYLE) & ES_READONLY) != 0;
  if (now != readOnly) SendDlgItemMessageW(dialog_, id, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void DialogControls::LimitText(int id, int count) {
  SendDlgItemMessageW(dialog_, id, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
}

void DialogControls::SetRange(int id, int minimum, int maximum) {
  HWND item = Item(id);
  if (IsScrollBar(item))
    SetScrollRange(item, SB_CTL, minimum, maximum, TRUE);
  else
    SendMessageW(item, PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void DialogControls::SetPosition(int id, int position) {
  HWND item = Item(id);
  if (IsScrollBar(item))
    SetScrollPos(item, SB_CTL, position, TRUE);
  else
    ShowProgressAtOnce(item, position);
}

int DialogControls::Position(int id) const {
  HWND item = Item(id);
  if (IsScrollBar(item)) return GetScrollPos(item, SB_CTL);
  return static_cast<int>(SendMessageW(item, PBM_GETPOS, 0, 0));
}

}  // namespace kv
