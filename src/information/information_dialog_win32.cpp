// The information dialog: for now its template with the language's labels, laid out for the
// screen size; it does not poll yet.
#include "shell/panels_win32.h"
#include "shell/program.h"

namespace kv {

HWND CreateInformationDialog(HWND parent) {
  HWND panel = CreateTemplateOnlyPanel(parent, InformationDialog, /*fillWindow=*/true,
                                       InformationDialogTexts());
  if (panel) ApplyInformationLayout(panel);
  return panel;
}

}  // namespace kv
