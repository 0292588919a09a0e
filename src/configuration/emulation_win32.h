// The emulation construction dialog on the Win32 side.
#pragma once

#include <windows.h>

namespace kv {

// Runs the dialog modally over `owner`; the caller has set subDialogOpen, which is clear again
// when this returns.
void RunEmulationDialog(HWND owner);

}  // namespace kv
