// Drop-down lists that a mouse wheel cannot change. A closed list with the focus (or under the
// cursor, where Windows sends the wheel to the window under it) moves its selection on each
// notch, and the panels write every selection change to the controller at once: one turn of the
// wheel over a panel would rewrite a setting of the car. The wheel is ignored over a closed list;
// an open list scrolls as usual, and keyboard and mouse picks are unchanged.
#pragma once

#include <windows.h>

namespace kv {

// Applied to every combo box of `dialog` (the dialog procedure guard does it at WM_INITDIALOG, so
// every panel and sub-dialog made from a template has it).
void KeepWheelOffClosedLists(HWND dialog);

}  // namespace kv
