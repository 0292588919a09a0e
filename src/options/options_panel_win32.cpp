// The options panel: for now its template of the screen size, shown empty.
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {

HWND CreateOptionsPanel(HWND parent) {
  return CreateTemplateOnlyPanel(parent, OptionsPanel, /*fillWindow=*/false);
}

}  // namespace kv
