// The settings-file commands of the File menu on Win32 (40014 Open..., 40015 Save As...).
#pragma once

namespace kv {

void RunOpenCommand();
void RunSaveAsCommand();

}  // namespace kv
