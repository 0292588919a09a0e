// The schema panel: for now its template, filling the main window, without the picture.
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {

HWND CreateSchemaPanel(HWND parent) {
  return CreateTemplateOnlyPanel(parent, SchemaPanel, /*fillWindow=*/true);
}

}  // namespace kv
