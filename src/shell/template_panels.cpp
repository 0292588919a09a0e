#include "shell/template_panels.h"

namespace kv {
namespace {

constexpr ControlText kResetTexts[] = {{1104, 134}, {1105, 135}, {126, 136}};
// 1179 and 1180 both read "Change", text 197.
constexpr ControlText kInformationTexts[] = {
    {1079, 158}, {1199, 159}, {1194, 191}, {1195, 192}, {1196, 193}, {1189, 194},
    {1190, 195}, {1191, 196}, {1179, 197}, {1182, 199}, {1180, 197}};

// One control of the information layout: each value in the design frame (scaled) or in pixels.
struct LayoutRow {
  int control;
  int x, y, width, height;
  bool scaleWidth, scaleHeight;  // x and y are always scaled
};
constexpr LayoutRow kInformationLayout[] = {
    {1208, 40, 20, 280, 185, true, true},
    {1075, 360, 20, 300, 20, true, false},
    {1076, 360, 45, 300, 20, true, false},
    {1077, 360, 70, 300, 20, true, false},
    {1078, 360, 95, 300, 20, true, false},
    {1209, 360, 125, 300, 1, true, false},
    {1079, 360, 145, 200, 25, false, false},
    {1199, 40, 240, 200, 25, false, false},
    {1194, 40, 290, 200, 25, false, false},
    {1195, 40, 340, 200, 25, false, false},
    {1196, 40, 390, 200, 25, false, false},
    {1170, 360, 235, 250, 25, true, false},
    {1164, 360, 285, 100, 25, true, false},
    {1171, 360, 335, 100, 25, true, false},
    {1172, 360, 385, 100, 25, true, false},
    {1179, 500, 285, 100, 25, true, false},
    {1182, 500, 335, 100, 25, true, false},
    {1180, 500, 385, 100, 25, true, false},
    {1188, 20, 365, 650, 140, true, true},
    {1189, 40, 445, 50, 25, false, false},
    {1190, 260, 445, 50, 25, false, false},
    {1191, 430, 445, 50, 25, false, false},
    {1003, 120, 440, 100, 20, false, false},
    {1004, 340, 440, 70, 20, false, false},
    {1013, 510, 440, 70, 20, false, false},
};

int Scaled(int value, double scale) { return static_cast<int>(value * scale); }

}  // namespace

std::span<const ControlText> ResetPanelTexts() { return kResetTexts; }
std::span<const ControlText> InformationDialogTexts() { return kInformationTexts; }

std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY) {
  std::vector<ControlPlace> places;
  places.reserve(std::size(kInformationLayout));
  for (const LayoutRow& row : kInformationLayout) {
    places.push_back({row.control, Scaled(row.x, scaleX), Scaled(row.y, scaleY),
                      row.scaleWidth ? Scaled(row.width, scaleX) : row.width,
                      row.scaleHeight ? Scaled(row.height, scaleY) : row.height});
  }
  return places;
}

}  // namespace kv
