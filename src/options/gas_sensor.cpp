#include "options/gas_sensor.h"

#include <algorithm>
#include <string>

#include "link/link.h"
#include "link/parameters.h"
#include "link/signals.h"
#include "options/options.h"
#include "options_ids.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/canvas.h"
#include "ui/controls.h"

namespace kv {
namespace {

// The four switching points, Prog1 (between reserve and 1/4) to Prog4 (between 3/4 and 4/4).
struct SwitchingPoint {
  int bar;
  int field;
  Param param;
};
constexpr SwitchingPoint kPoints[4] = {
    {IDC_GAS_PROG1_BAR, IDC_GAS_PROG1_FIELD, Param::Prog1},
    {IDC_GAS_PROG2_BAR, IDC_GAS_PROG2_FIELD, Param::Prog2},
    {IDC_GAS_PROG3_BAR, IDC_GAS_PROG3_FIELD, Param::Prog3},
    {IDC_GAS_PROG4_BAR, IDC_GAS_PROG4_FIELD, Param::Prog4},
};
constexpr int kMaxPoint = 255, kLineStep = 1, kPageStep = 10;

// The controls a programmable sensor type enables.
void EnableProgrammable(Controls& controls, bool enabled) {
  for (const SwitchingPoint& point : kPoints) {
    controls.Enable(point.bar, enabled);
    controls.Enable(point.field, enabled);
  }
  controls.Enable(IDC_GAS_FACTORY, enabled);
}

// Lamps in client pixels, reserve first; each 20 x 20 from x 20.
constexpr int kLampTop[5] = {198, 158, 118, 78, 38};
constexpr Rgb kReserveLit = colour::Red, kReserveUnlit = colour::Brown;
constexpr Rgb kQuarterLit = colour::Green, kQuarterUnlit = colour::Olive;
constexpr Rect kBackground{0, 0, 500, 260};

const SwitchingPoint* PointOf(int bar) {
  for (const SwitchingPoint& point : kPoints)
    if (point.bar == bar) return &point;
  return nullptr;
}

int& WorkingValue(Program& program, const SwitchingPoint& point) {
  return program.options.gasPoints[static_cast<std::size_t>(&point - kPoints)];
}

// The bar's new working value for a scroll code; a step past either end stops there.
int Scrolled(int v, int code, int thumb) {
  switch (code) {
    case ScrollLineUp: return std::max(v - kLineStep, 0);
    case ScrollLineDown: return std::min(v + kLineStep, kMaxPoint);
    case ScrollPageUp: return std::max(v - kPageStep, 0);
    case ScrollPageDown: return std::min(v + kPageStep, kMaxPoint);
    // The bar's range keeps the thumb within 0..255; a position outside it is never written.
    case ScrollThumbTrack: return std::clamp(thumb, 0, kMaxPoint);
    default: return v;
  }
}

bool Moves(int code) {
  return code == ScrollLineUp || code == ScrollLineDown || code == ScrollPageUp ||
         code == ScrollPageDown || code == ScrollThumbTrack;
}

}  // namespace

std::array<bool, 5> GasLamps(int level) {
  std::array<bool, 5> lit{};
  if (level == 0) lit[0] = true;
  if (level >= 1 && level <= 4)
    for (int k = 1; k <= level; ++k) lit[static_cast<std::size_t>(k)] = true;
  return lit;
}

void DrawGasLamps(Canvas& canvas, const std::array<bool, 5>& lit) {
  for (std::size_t i = 0; i < lit.size(); ++i) {
    const Rgb fill = i == 0 ? (lit[i] ? kReserveLit : kReserveUnlit)
                            : (lit[i] ? kQuarterLit : kQuarterUnlit);
    canvas.Rectangle(Pen{colour::Black, 1}, Brush{fill}, Rect{20, kLampTop[i], 40, kLampTop[i] + 20});
  }
}

void InitGasSensorDialog(const LanguageTexts& t, Controls& controls) {
  for (const SwitchingPoint& point : kPoints) {
    controls.SetRange(point.bar, 0, kMaxPoint);
    controls.SetText(point.field, "0");
  }
  controls.SetText(IDC_GAS_FACTORY, t[189]);
  controls.SetText(kDialogOk, t[160]);
  for (int i = 0; i < 3; ++i) controls.AddListItem(IDC_GAS_TYPE, t[kGasSensorTypeFirstText + i]);
  controls.SetText(IDC_GAS_TYPE_LABEL, t[52]);
}

void GasSensorPainted(Controls& controls, Canvas& canvas) {
  canvas.Rectangle(Pen{colour::Grey, 1}, Brush{colour::Grey}, kBackground);
  DrawGasLamps(canvas, {});
  for (int id : {1, IDC_GAS_LEVEL_RESERVE, IDC_GAS_LEVEL_1, IDC_GAS_LEVEL_2, IDC_GAS_LEVEL_3,
                 IDC_GAS_LEVEL_4}) {
    controls.Enable(id, false);
    controls.Enable(id, true);
  }
  EnableProgrammable(controls, true);
  EnableProgrammable(controls, false);
}

void RefreshSensorDialog(Program& program, Controls& controls, Canvas& canvas) {
  const Link& link = program.link;
  const std::uint8_t options = Get(link.image, Param::Options);
  Select(controls, IDC_GAS_TYPE, GasSensorTypeIndex(options));
  const bool programmable =
      !Has(options, bits::options::GasSensorFixed) && IsVersion3(link.image);
  EnableProgrammable(controls, programmable);
  for (const SwitchingPoint& point : kPoints) {
    const int v = programmable ? WorkingValue(program, point) : 0;
    if (programmable) controls.SetPosition(point.bar, v);
    SetTextIfChanged(controls, point.field, std::to_string(static_cast<unsigned>(v)));
  }
  std::array<bool, 5> lit{};
  if (programmable && !link.offline) lit = GasLamps(program.options.lastGasLevel);
  DrawGasLamps(canvas, lit);
}

bool GasSensorTick(Program& program, Controls& controls, Canvas& canvas) {
  OptionsState& state = program.options;
  // Nothing at all while a bar is moved or a list is open, not even the timer's period check.
  if (state.dragging || program.shared.listOpen) return false;
  Link& link = program.link;
  if (IdentifyForReading(link)) {
    ReadBlocks(link, Blocks({3, 5}));
    state.lastGasLevel = FieldOf(Get(link.image, bytes::GasLevel), bits::gas_level::Level);
  } else {
    // The sensor type shows from Block 3 whatever the controller is.
    ReadBlock(link, 3);
  }
  for (const SwitchingPoint& point : kPoints)
    WorkingValue(program, point) = Get(link.image, point.param);
  RefreshSensorDialog(program, controls, canvas);
  return FollowPollPeriod(program);
}

void GasSensorScroll(Program& program, Controls& controls, int id, int code, int thumb) {
  const SwitchingPoint* point = PointOf(id);
  if (!point) return;
  int& v = WorkingValue(program, *point);
  v = Scrolled(v, code, thumb);
  // Polling waits until the bar is released, so a tick cannot pull the value back meanwhile.
  if (Moves(code)) program.options.dragging = true;
  controls.SetPosition(point->bar, v);
  if (code == ScrollEnd) {
    controls.SetText(point->field, std::to_string(v));
    WriteParameter(program.link, point->param, static_cast<std::uint8_t>(v));
    program.options.dragging = false;
  }
}

void RestoreFactoryGasPoints(Program& program) {
  Link& link = program.link;
  Identify(link);
  if (!IsVersion3(link.image)) return;
  SendCommand(link, kCommandGasSensorDefaults);
  // Only points read back after the command may go out: after a failed read the image still
  // holds the old points, which would overwrite the controller's fresh factory ones.
  if (!ReadBlock(link, 5)) return;
  for (const SwitchingPoint& point : kPoints)
    WriteParameter(link, point.param, Get(link.image, point.param));
}

int GasSensorCommand(Program& program, Controls& controls, int id, int code) {
  if (id == kDialogOk || id == kDialogCancel) {
    program.shared.subDialogOpen = false;
    return id;
  }
  if (id == IDC_GAS_FACTORY && code == kButtonClicked) {
    RestoreFactoryGasPoints(program);
  } else if (id == IDC_GAS_TYPE) {
    const int index = ListNotification(program.shared, controls, id, code);
    if (index >= 0 && IsVersion3(program.link.image))
      WriteParameterBits(program.link, Param::Options, bits::options::GasSensorType,
                         GasSensorTypeBits(index));
  }
  return 0;
}

}  // namespace kv
