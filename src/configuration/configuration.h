// The configuration panel's behaviour, apart from Win32: what every control shows for a given
// memory image, what a pick or a click writes to the controller, and what a timer tick does.
// The dialog procedure (configuration_win32.cpp) only turns messages into these calls.
#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"

namespace kv {

struct Program;

// Appends every list's items, in the order of the panel's rows; the lambda point list is built
// for the cached probe type.
void FillConfigurationLists(const Program& program, Controls& controls);
// Headings, labels, units and check box texts of the current language.
void ApplyConfigurationTexts(const Program& program, Controls& controls);
// Sets every control from the memory image, rebuilding the lambda point list when the probe
// type seen in the controller changed.
void RefreshConfiguration(Program& program, Controls& controls);

// One tick of the panel timer: poll Blocks 2, 3 and 4 and refresh unless a list or a sub-dialog is open. Returns true when
// the timer must be restarted with the link's poll period (armedPeriod already follows it).
bool ConfigurationTick(Program& program, Controls& controls);

enum class ConfigurationFollowUp { None, OpenEmulationDialog };
// A WM_COMMAND from control `id` with notification `code`: list picks and check box clicks are
// written at once; a drop-down sets listOpen, any other list notification clears it. Picking
// emulation type 0 sets subDialogOpen and asks the caller to run the emulation dialog.
ConfigurationFollowUp ConfigurationCommand(Program& program, Controls& controls, int id, int code);

// The byte of the lambda point list's first item (LambdaPointItems) for a probe type.
int LambdaPointOffset(int probeType);

}  // namespace kv
