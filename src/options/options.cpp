#include "options/options.h"

#include <cstdio>
#include <span>
#include <string>

#include "link/format.h"
#include "link/link.h"
#include "link/parameters.h"
#include "link/signals.h"
#include "options_ids.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/setting_rows.h"

namespace kv {
namespace {

// The jump position list: 2..100 per cent for a version-3 controller, raw bytes otherwise.
constexpr int kJumpItemsVersion3 = 50, kJumpItemsRaw = 256;
constexpr unsigned long kCutOffFirstSpeed = 1000;
constexpr int kCutOffItems = 16;
constexpr long kFirstTemperature = 10;

void FillJumpList(Controls& controls, bool version3) {
  if (version3) {
    for (long i = 1; i <= kJumpItemsVersion3; ++i)
      controls.AddListItem(IDC_OPT_ATT_JUMP, FormatText("%ld", 2 * i));
  } else {
    for (long i = 0; i < kJumpItemsRaw; ++i)
      controls.AddListItem(IDC_OPT_ATT_JUMP, FormatText("%ld", i));
  }
}

// The lists that are a setting and nothing more.
constexpr ListRow kListRows[] = {
    {IDC_OPT_ATT_INIT, Param::AttInit, Encoding::Plain},
    {IDC_OPT_ATT_MIN_BJ, Param::AttMin_BJ, Encoding::Plain},
    {IDC_OPT_ATT_MAX_BJ, Param::AttMax_BJ, Encoding::Plain},
    {IDC_OPT_ATT_MIN, Param::AttMin, Encoding::Plain},
    {IDC_OPT_ATT_MAX, Param::AttMax, Encoding::Plain},
    {IDC_OPT_CUT_OFF_SPEED, Param::CutOffRPMLo, Encoding::Speed, 0, Param::CutOffRPMHi,
     kCutOffFirstSpeed, kCutOffItems},
    {IDC_OPT_CUT_OFF_STEPS, Param::CutOffSteps, Encoding::Even},
    {IDC_OPT_EMUL_MODE, Param::EmulType, Encoding::BitField, bits::emul_type::EmulationMode},
};

// The option boxes: each shows and writes one bit of Options.
constexpr CheckBoxRow kOptionBoxes[] = {
    {IDC_OPT_MANUAL_BASE, Param::Options, bits::options::AutomaticBase, true},
    {IDC_OPT_JUMP, Param::Options, bits::options::Jump},
    {IDC_OPT_CUT_OFF, Param::Options, bits::options::CutOff},
    {IDC_OPT_TEMPERATURE, Param::Options, bits::options::SwitchOnTemperature},
};

// The lists with a rule of their own: the jump position writes an even value whatever list it
// shows, the TPS jump follows the sensor's direction, the temperature is converted.
void WriteSpecialPick(Link& link, int id, int index) {
  switch (id) {
    case IDC_OPT_ATT_JUMP: WriteParameter(link, Param::AttJump, EvenValue(index)); break;
    case IDC_OPT_TPS_JUMP:
      WriteParameter(link, Param::TPSJump,
                     TpsJumpByte(Get(link.image, Param::LambdaType), 5 * index));
      break;
    case IDC_OPT_LPG_ON_TEMP:
      WriteParameter(link, Param::LPGOnTemp,
                     static_cast<std::uint8_t>(TemperatureToRaw(kFirstTemperature + 2 * index)));
      break;
    default: break;
  }
}

bool IsList(int id) {
  return ListRowOf(kListRows, id) || id == IDC_OPT_ATT_JUMP || id == IDC_OPT_TPS_JUMP ||
         id == IDC_OPT_LPG_ON_TEMP;
}

// The jump row's texts and list follow the controller's version.
void RefreshJumpRow(Program& program, Controls& controls) {
  const bool v3 = IsVersion3(program.link.image);
  const LanguageTexts& t = program.texts;
  SetTextIfChanged(controls, IDC_OPT_ATT_JUMP_UNIT, t[v3 ? 126 : 123]);
  SetTextIfChanged(controls, IDC_OPT_ATT_JUMP_LABEL, t[v3 ? 132 : 110]);
  const int items = v3 ? kJumpItemsVersion3 : kJumpItemsRaw;
  if (controls.ListCount(IDC_OPT_ATT_JUMP) != items) {
    controls.ClearList(IDC_OPT_ATT_JUMP);
    FillJumpList(controls, v3);
  }
  const std::uint8_t jump = Get(program.link.image, Param::AttJump);
  Select(controls, IDC_OPT_ATT_JUMP, v3 ? EvenIndex(jump) : jump);
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

void FillOptionsLists(const Program& program, Controls& controls) {
  for (long i = 0; i < 256; ++i) {
    const std::string plain = FormatText("%ld", i), minus = FormatText("-%ld", i), plus = FormatText("+%ld", i);
    controls.AddListItem(IDC_OPT_ATT_INIT, plain);
    controls.AddListItem(IDC_OPT_ATT_MIN_BJ, minus);
    controls.AddListItem(IDC_OPT_ATT_MAX_BJ, plus);
    controls.AddListItem(IDC_OPT_ATT_MIN, minus);
    controls.AddListItem(IDC_OPT_ATT_MAX, plus);
  }
  for (long i = 0; i <= 50; ++i) {
    char item[16];
    std::snprintf(item, sizeof item, "%ld,%ld", i / 10, i % 10);
    controls.AddListItem(IDC_OPT_TPS_JUMP, item);
  }
  FillJumpList(controls, true);
  for (long i = 0; i < kCutOffItems; ++i)
    controls.AddListItem(IDC_OPT_CUT_OFF_SPEED, FormatText("%ld", 1000 + 100 * i));
  for (long i = 1; i <= 50; ++i)
    controls.AddListItem(IDC_OPT_CUT_OFF_STEPS, FormatText("%ld", 2 * i));
  for (long i = 0; i <= 25; ++i)
    controls.AddListItem(IDC_OPT_LPG_ON_TEMP, FormatText("%ld", kFirstTemperature + 2 * i));
  for (int n = 129; n <= 131; ++n) controls.AddListItem(IDC_OPT_EMUL_MODE, program.texts[n]);
}

void ApplyOptionsTexts(const Program& program, Controls& controls) {
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
  ApplyControlTexts(controls, std::span<const ControlText>(kTexts), program.texts);
}

void RefreshOptions(Program& program, Controls& controls) {
  const MemoryImage& image = program.link.image;
  SelectFromImage(controls, image, kListRows);
  // A throttle switch has no travel to jump on: the jump box is off and greyed, the bit is kept.
  const bool switchTps = IsSwitchTps(TpsCode(Get(image, Param::LambdaType)));
  for (const CheckBoxRow& box : kOptionBoxes) {
    const bool greyed = box.control == IDC_OPT_JUMP && switchTps;
    controls.SetCheck(box.control, !greyed && CheckedInImage(image, box));
  }
  controls.Enable(IDC_OPT_JUMP, !switchTps);
  RefreshJumpRow(program, controls);
  Select(controls, IDC_OPT_TPS_JUMP, TpsJumpIndex(program));
  Select(controls, IDC_OPT_LPG_ON_TEMP, TemperatureIndex(Get(image, Param::LPGOnTemp)));
  SetTextIfChanged(controls, IDC_OPT_SENSOR_TYPE,
                   program.texts[kGasSensorTypeFirstText +
                                 GasSensorTypeIndex(Get(image, Param::Options))]);

  // Each box shows the rows it switches on.
  ShowControls(controls, {IDC_OPT_ATT_INIT, IDC_OPT_ATT_INIT_UNIT},
               controls.IsChecked(IDC_OPT_MANUAL_BASE));
  ShowControls(controls,
               {IDC_OPT_ATT_JUMP, IDC_OPT_TPS_JUMP, IDC_OPT_ATT_JUMP_LABEL, IDC_OPT_TPS_JUMP_LABEL,
                IDC_OPT_ATT_JUMP_UNIT, IDC_OPT_TPS_JUMP_UNIT},
               controls.IsChecked(IDC_OPT_JUMP));
  ShowControls(controls,
               {IDC_OPT_CUT_OFF_SPEED, IDC_OPT_CUT_OFF_SPEED_UNIT, IDC_OPT_CUT_OFF_STEPS_UNIT,
                IDC_OPT_CUT_OFF_SPEED_LABEL, IDC_OPT_CUT_OFF_STEPS_LABEL, IDC_OPT_CUT_OFF_STEPS},
               controls.IsChecked(IDC_OPT_CUT_OFF));
  ShowControls(controls, {IDC_OPT_LPG_ON_TEMP, IDC_OPT_LPG_ON_TEMP_UNIT},
               controls.IsChecked(IDC_OPT_TEMPERATURE));
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
    const int index = ListNotification(program.shared, controls, id, code);
    if (const ListRow* row = ListRowOf(kListRows, id); row && index >= 0)
      WritePick(program.link, *row, index);
    else if (index >= 0)
      WriteSpecialPick(program.link, id, index);
    return OptionsFollowUp::None;
  }
  if (code != kButtonClicked) return OptionsFollowUp::None;
  if (const CheckBoxRow* box = CheckBoxRowOf(kOptionBoxes, id)) {
    WriteCheckBox(program.link, *box, controls.IsChecked(id));
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
