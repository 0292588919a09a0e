// The options panel's two modal dialogs on the Win32 side.
#pragma once

#include <windows.h>

namespace kv {

// Runs the corrections dialog over `owner`; the caller has set correctionsOpen, which is clear
// again when this returns, however the dialog ended.
void RunCorrectionsDialog(HWND owner);
// Runs the gas level sensor dialog over `owner`; the caller has set subDialogOpen, which is clear
// again when this returns, however the dialog ended.
void RunGasSensorDialog(HWND owner);

}  // namespace kv
