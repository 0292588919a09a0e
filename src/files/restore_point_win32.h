// The window program's restore points: Backups in the start directory, or in the per-user folder
// when that refuses them or the program runs from a temporary folder; at the computer's local
// time, the registration in the code page of the language's texts.
#pragma once

#include "files/restore_point.h"
#include "files/settings.h"

namespace kv {

RestorePoints ProgramRestorePoints(FileStore& files, const ProgramSettings& settings);

}  // namespace kv
