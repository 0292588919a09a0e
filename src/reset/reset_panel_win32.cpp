// The reset panel: for now its template with the language's texts, filling the main window.
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {

HWND CreateResetPanel(HWND parent) {
  return CreateTemplateOnlyPanel(parent, ResetPanel, /*fillWindow=*/true, ResetPanelTexts());
}

}  // namespace kv
