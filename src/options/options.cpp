#include "options/options.h"

#include <cstdio>
#include <span>
#include <string>

#include "configuration/configuration.h"
#include "link/link.h"
#include "link/parameters.h"
#include "options_ids.h"
#include "link/signals.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/format.h"

namespace kv {
namespace {

// The jump position list: 2..100 per cent for a version-3 controller, raw bytes otherwise.
constexpr int kJumpItemsVersion3 = 50, kJumpItemsRaw = 256;
constexpr unsigned long kCutOffFirstSpeed = 1000;
constexpr int kCutOffItems = 16;
constexpr long kFirstTemperature = 10;

// Lists of even values 2..100 store the value itself; bytes 0 and 1 show the first item.
int EvenIndex(std::uint8_t byte) { return byte / 2 == 0 ? 0 : byte / 2 - 1; }
std::uint8_t EvenValue(int index) { return static_cast<std::uint8_t>(2 * index + 2); }

void FillJumpList(Controls& c, bool version3) {
  if (version3) {
    for (long i = 1; i <= kJumpItemsVersion3; ++i) c.AddListItem(IDC_OPT_ATT_JUMP, FormatText("%ld", 2 * i));
  } else {
    for (long i = 0; i < kJumpItemsRaw; ++i) c.AddListItem(IDC_OPT_ATT_JUMP, FormatText("%ld", i));
  }
}

void WriteListPick(Program& program, int id, int index) {
  Link& link = program.link;
  const auto byte = [](long v) { return static_cast<std::uint8_t>(v); };
  switch (id) {
    case IDC_OPT_ATT_INIT: WriteParameter(link, Param::AttInit, byte(index)); break;
    case IDC_OPT_ATT_MIN_BJ: WriteParameter(link, Param::AttMin_BJ, byte(index)); break;
    case IDC_OPT_ATT_MAX_BJ: WriteParameter(link, Param::AttMax_BJ, byte(index)); break;
    case IDC_OPT_ATT_MIN: WriteParameter(link, Param::AttMin, byte(index)); break;
    case IDC_OPT_ATT_MAX: WriteParameter(link, Param::AttMax, byte(index)); break;
    case IDC_OPT_ATT_JUMP: WriteParameter(link, Param::AttJump, EvenValue(index)); break;
    case IDC_OPT_TPS_JUMP:
      WriteParameter(link, Param::TPSJump, TpsJumpByte(Get(link.image, Param::LambdaType), 5 * index));
      break;
    case IDC_OPT_CUT_OFF_SPEED:
      WriteSpeed(link, Param::CutOffRPMLo, Param::CutOffRPMHi,
                 kCutOffFirstSpeed + 100 * static_cast<unsigned long>(index));
      break;
    case IDC_OPT_CUT_OFF_STEPS: WriteParameter(link, Param::CutOffSteps, EvenValue(index)); break;
    case IDC_OPT_LPG_ON_TEMP:
      WriteParameter(link, Param::LPGOnTemp, byte(TemperatureToRaw(kFirstTemperature + 2 * index)));
      break;
    case IDC_OPT_EMUL_MODE:
      WriteParameterBits(link, Param::EmulType, bits::emul_type::EmulationMode,
                         IntoField(index, bits::emul_type::EmulationMode));
      break;
    default: break;
  }
}

void WriteOptionBox(Program& program, int id, bool checked) {
  const auto bit = [&](std::uint8_t mask, bool set) {
    WriteParameterBits(program.link, Param::Options, mask, set ? mask : 0);
  };
  using namespace bits::options;
  switch (id) {
    case IDC_OPT_MANUAL_BASE: bit(AutomaticBase, !checked); break;  // checked = bit clear
    case IDC_OPT_JUMP: bit(Jump, checked); break;
    case IDC_OPT_CUT_OFF: bit(CutOff, checked); break;
    case IDC_OPT_TEMPERATURE: bit(SwitchOnTemperature, checked); break;
    default: break;
  }
}

bool IsList(int id) {
  switch (id) {
    case IDC_OPT_ATT_INIT: case IDC_OPT_ATT_MIN_BJ: case IDC_OPT_ATT_MAX_BJ: case IDC_OPT_ATT_MIN:
    case IDC_OPT_ATT_MAX: case IDC_OPT_ATT_JUMP: case IDC_OPT_TPS_JUMP: case IDC_OPT_CUT_OFF_SPEED:
    case IDC_OPT_CUT_OFF_STEPS: case IDC_OPT_LPG_ON_TEMP: case IDC_OPT_EMUL_MODE:
      return true;
    default:
      return false;
  }
}

bool IsOptionBox(int id) {
  return id == IDC_OPT_MANUAL_BASE || id == IDC_OPT_JUMP || id == IDC_OPT_CUT_OFF ||
         id == IDC_OPT_TEMPERATURE;
}

// The jump row's texts and list follow the controller's version.
void RefreshJumpRow(Program& program, Controls& c) {
  const bool v3 = IsVersion3(program.link.image);
  const LanguageTexts& t = program.texts;
  SetTextIfChanged(c, IDC_OPT_ATT_JUMP_UNIT, t[v3 ? 126 : 123]);
  SetTextIfChanged(c, IDC_OPT_ATT_JUMP_LABEL, t[v3 ? 132 : 110]);
  const int items = v3 ? kJumpItemsVersion3 : kJumpItemsRaw;
  if (c.ListCount(IDC_OPT_ATT_JUMP) != items) {
    c.ClearList(IDC_OPT_ATT_JUMP);
    FillJumpList(c, v3);
  }
  const std::uint8_t jump = Get(program.link.image, Param::AttJump);
  Select(c, IDC_OPT_ATT_JUMP, v3 ? EvenIndex(jump) : jump);
}

int TpsJumpIndex(const Program& program) {
  const MemoryImage& image = program.link.image;
  // Integer division truncates toward zero: 251..254 on a code-1 TPS show the first item, 255
  // shows none.
  return TpsJumpFiftieths(Get(image, Param::LambdaType), Get(image, Param::TPSJump)) / 5;
}

int TemperatureIndex(std::uint8_t raw) {
  const long t = TemperatureFromRaw(raw);
  return t < kFirstTemperature ? 0 : static_cast<int>((t - kFirstTemperature) / 2);
}

}  // namespace

void FillOptionsLists(const Program& program, Controls& c) {
  for (long i = 0; i < 256; ++i) {
    const std::string plain = FormatText("%ld", i), minus = FormatText("-%ld", i), plus = FormatText("+%ld", i);
    c.AddListItem(IDC_OPT_ATT_INIT, plain);
    c.AddListItem(IDC_OPT_ATT_MIN_BJ, minus);
    c.AddListItem(IDC_OPT_ATT_MAX_BJ, plus);
    c.AddListItem(IDC_OPT_ATT_MIN, minus);
    c.AddListItem(IDC_OPT_ATT_MAX, plus);
  }
  for (long i = 0; i <= 50; ++i) {
    char item[16];
    std::snprintf(item, sizeof item, "%ld,%ld", i / 10, i % 10);
    c.AddListItem(IDC_OPT_TPS_JUMP, item);
  }
  FillJumpList(c, true);
  for (long i = 0; i < kCutOffItems; ++i) c.AddListItem(IDC_OPT_CUT_OFF_SPEED, FormatText("%ld", 1000 + 100 * i));
  for (long i = 1; i <= 50; ++i) c.AddListItem(IDC_OPT_CUT_OFF_STEPS, FormatText("%ld", 2 * i));
  for (long i = 0; i <= 25; ++i) c.AddListItem(IDC_OPT_LPG_ON_TEMP, FormatText("%ld", kFirstTemperature + 2 * i));
  for (int n = 129; n <= 131; ++n) c.AddListItem(IDC_OPT_EMUL_MODE, program.texts[n]);
}

void ApplyOptionsTexts(const Program& program, Controls& c) {
  static constexpr ControlText kTexts[] = {
      {IDC_OPT_HEADING_ACTUATOR, 92},     {IDC_OPT_HEADING_CUT_OFF, 93},
      {IDC_OPT_HEADING_TEMPERATURE, 95},  {IDC_OPT_HEADING_EMULATION, 96},
      {IDC_OPT_HEADING_SENSOR, 39},       {IDC_OPT_SENSOR_CHANGE, 197},
      {IDC_OPT_SENSOR_LABEL, 52},         {IDC_OPT_CORRECTIONS, 97},
      {IDC_OPT_MANUAL_BASE, 104},         {IDC_OPT_ATT_MIN_BJ_LABEL, 105},
      {IDC_OPT_ATT_MAX_BJ_LABEL, 106},    {IDC_OPT_ATT_MIN_LABEL, 107},
      {IDC_OPT_ATT_MAX_LABEL, 108},       {IDC_OPT_JUMP, 109},
      {IDC_OPT_ATT_JUMP_LABEL, 110},      {IDC_OPT_TPS_JUMP_LABEL, 111},
      {IDC_OPT_CUT_OFF, 112},             {IDC_OPT_CUT_OFF_SPEED_LABEL, 113},
      {IDC_OPT_CUT_OFF_STEPS_LABEL, 114}, {IDC_OPT_TEMPERATURE, 116},
      {IDC_OPT_EMUL_MODE_LABEL, 117},     {IDC_OPT_ATT_INIT_UNIT, 118},
      {IDC_OPT_ATT_MIN_BJ_UNIT, 119},     {IDC_OPT_ATT_MAX_BJ_UNIT, 120},
      {IDC_OPT_ATT_MIN_UNIT, 121},        {IDC_OPT_ATT_MAX_UNIT, 122},
      {IDC_OPT_ATT_JUMP_UNIT, 123},       {IDC_OPT_TPS_JUMP_UNIT, 124},
      {IDC_OPT_CUT_OFF_SPEED_UNIT, 125},  {IDC_OPT_CUT_OFF_STEPS_UNIT, 126},
      {IDC_OPT_LPG_ON_TEMP_UNIT, 128},
  };
  ApplyControlTexts(c, std::span<const ControlText>(kTexts), program.texts);
}

void RefreshOptions(Program& program, Controls& c) {
  using namespace bits::options;
  const auto b = [&](Param p) { return Get(program.link.image, p); };
  const std::uint8_t options = b(Param::Options);

  c.SetCheck(IDC_OPT_MANUAL_BASE, !Has(options, AutomaticBase));
  ShowControls(c, {IDC_OPT_ATT_INIT, IDC_OPT_ATT_INIT_UNIT}, c.IsChecked(IDC_OPT_MANUAL_BASE));
  Select(c, IDC_OPT_ATT_INIT, b(Param::AttInit));
  Select(c, IDC_OPT_ATT_MAX_BJ, b(Param::AttMax_BJ));
  Select(c, IDC_OPT_ATT_MIN_BJ, b(Param::AttMin_BJ));
  Select(c, IDC_OPT_ATT_MAX, b(Param::AttMax));
  Select(c, IDC_OPT_ATT_MIN, b(Param::AttMin));

  // A throttle switch has no travel to jump on: the box is off and greyed, the bit is kept.
  const bool switchTps = IsSwitchTps(TpsCode(b(Param::LambdaType)));
  c.SetCheck(IDC_OPT_JUMP, !switchTps && Has(options, Jump));
  c.Enable(IDC_OPT_JUMP, !switchTps);
  ShowControls(c,
           {IDC_OPT_ATT_JUMP, IDC_OPT_TPS_JUMP, IDC_OPT_ATT_JUMP_LABEL, IDC_OPT_TPS_JUMP_LABEL,
            IDC_OPT_ATT_JUMP_UNIT, IDC_OPT_TPS_JUMP_UNIT},
           c.IsChecked(IDC_OPT_JUMP));
  RefreshJumpRow(program, c);
  Select(c, IDC_OPT_TPS_JUMP, TpsJumpIndex(program));

  c.SetCheck(IDC_OPT_CUT_OFF, Has(options, CutOff));
  ShowControls(c,
           {IDC_OPT_CUT_OFF_SPEED, IDC_OPT_CUT_OFF_SPEED_UNIT, IDC_OPT_CUT_OFF_STEPS_UNIT,
            IDC_OPT_CUT_OFF_SPEED_LABEL, IDC_OPT_CUT_OFF_STEPS_LABEL, IDC_OPT_CUT_OFF_STEPS},
           c.IsChecked(IDC_OPT_CUT_OFF));
  Select(c, IDC_OPT_CUT_OFF_SPEED,
         SpeedListIndex(b(Param::CutOffRPMHi), b(Param::CutOffRPMLo), kCutOffFirstSpeed, kCutOffItems));
  Select(c, IDC_OPT_CUT_OFF_STEPS, EvenIndex(b(Param::CutOffSteps)));

  SetTextIfChanged(c, IDC_OPT_SENSOR_TYPE,
                   program.texts[kGasSensorTypeFirstText + GasSensorTypeIndex(options)]);

  c.SetCheck(IDC_OPT_TEMPERATURE, Has(options, SwitchOnTemperature));
  ShowControls(c, {IDC_OPT_LPG_ON_TEMP, IDC_OPT_LPG_ON_TEMP_UNIT}, c.IsChecked(IDC_OPT_TEMPERATURE));
  Select(c, IDC_OPT_LPG_ON_TEMP, TemperatureIndex(b(Param::LPGOnTemp)));
  Select(c, IDC_OPT_EMUL_MODE, FieldOf(b(Param::EmulType), bits::emul_type::EmulationMode));
}

bool OptionsTick(Program& program, Controls& controls) {
  // The corrections dialog is the only poller while it is open; not even the timer is touched.
  const TickGate gate =
      program.shared.correctionsOpen ? TickGate::Idle : PanelGate(program.shared);
  return PollTick(program, gate, Blocks({2, 3, 4}),
                  [&] { RefreshOptions(program, controls); });
}

OptionsFollowUp OptionsCommand(Program& program, Controls& controls, int id, int code) {
  if (IsList(id)) {
    if (code == kListSelectionChange) {
      const int index = PickedIndex(controls, id);
      if (index >= 0) WriteListPick(program, id, index);
    } else {
      program.shared.listOpen = (code == kListDropDown);
    }
    return OptionsFollowUp::None;
  }
  if (code != kButtonClicked) return OptionsFollowUp::None;
  if (IsOptionBox(id)) {
    WriteOptionBox(program, id, controls.IsChecked(id));
  } else if (id == IDC_OPT_CORRECTIONS) {
    program.shared.correctionsOpen = true;
    return OptionsFollowUp::OpenCorrections;
  } else if (id == IDC_OPT_SENSOR_CHANGE) {
    program.shared.subDialogOpen = true;
    return OptionsFollowUp::OpenGasSensor;
  }
  return OptionsFollowUp::None;
}

}  // namespace kv
