// What the shell knows of the panels still shown from their templates: the control texts a
// language change puts on the reset panel and the information dialog, and where each control of
// the information dialog goes for the scale factors.
#pragma once

#include <span>
#include <vector>

#include "ui/controls.h"

namespace kv {

std::span<const ControlText> ResetPanelTexts();
std::span<const ControlText> InformationDialogTexts();

// Where each control of the information dialog goes for the scale factors (design frame values
// times the scale, truncated toward zero, except the sizes fixed in pixels).
struct ControlPlace {
  int control;
  int x, y, width, height;
};
std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY);

}  // namespace kv
