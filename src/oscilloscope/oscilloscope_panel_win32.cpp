// The oscilloscope panel: for now its template, filling the main window, without traces.
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {

HWND CreateOscilloscopePanel(HWND parent) {
  return CreateTemplateOnlyPanel(parent, OscilloscopePanel, /*fillWindow=*/true);
}

}  // namespace kv
