#include "configuration/configuration.h"

#include <cstdio>
#include <span>

#include "configuration_ids.h"
#include "link/format.h"
#include "link/link.h"
#include "link/parameters.h"
#include "link/signals.h"
#include "link/value_texts.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/controls.h"
#include "ui/setting_rows.h"

namespace kv {
namespace {

// TPS sensor code (low nibble of LambdaType) <-> item of IDC_TPS_TYPE. Codes 2..5 share item 2 and
// codes 8..15 item 5; a pick stores the first code of its item.
constexpr std::uint8_t kTpsCodeOfItem[6] = {0, 1, 2, 6, 7, 8};

// The LambdaPoint byte the controller gets right after a probe type change.
std::uint8_t NeutralPointForType(int type) { return type == 0 ? 22 : type == 5 ? 60 : 127; }

constexpr unsigned long kLpgOnFirstSpeed = 1500, kLpgOffFirstSpeed = 4000;
constexpr int kLpgOnItems = 21, kLpgOffItems = 41;

// The lists that are a setting and nothing more; the probe type selects as a field but writes
// the neutral point too, so only its selection is here.
constexpr ListRow kListRows[] = {
    {IDC_PROBE_TYPE, Param::LambdaType, Encoding::BitField, bits::lambda_type::ProbeType},
    {IDC_LAMBDA_DELAY, Param::LambdaDelay, Encoding::FromOne},
    {IDC_EMUL_TYPE, Param::EmulType, Encoding::BitField, bits::emul_type::EmulationType},
    {IDC_EMUL_TIME_HI, Param::EmulBJ_TimeHi, Encoding::FromOne},
    {IDC_EMUL_TIME_LO, Param::EmulBJ_TimeLo, Encoding::FromOne},
    {IDC_IGNITION_TYPE, Param::IgnitionType, Encoding::FromOne},
    {IDC_LPG_ON_SPEED, Param::LPGOnRPMLo, Encoding::Speed, 0, Param::LPGOnRPMHi, kLpgOnFirstSpeed,
     kLpgOnItems},
    {IDC_SPEED_SWITCH, Param::Options, Encoding::BitField, bits::options::SpeedSwitch},
    {IDC_TPS_INERT, Param::TPSInert, Encoding::FromOne},
    {IDC_INJECT_DELAY, Param::InjectDelay, Encoding::FromOne},
    {IDC_LPG_OFF_SPEED, Param::LPGOffRPMLo, Encoding::Speed, 0, Param::LPGOffRPMHi,
     kLpgOffFirstSpeed, kLpgOffItems},
    {IDC_WOZG, Param::WOZG, Encoding::FromOne},
};

constexpr CheckBoxRow kCheckBoxes[] = {
    {IDC_LPG_OFF_ENABLE, Param::Options, bits::options::LpgOff},
    {IDC_LOW_SIGNAL, Param::EmulType, bits::emul_type::LowSignal, false, true},
    {IDC_EMERGENCY_START, Param::EmulType, bits::emul_type::EmergencyStart, false, true},
};

void FillLambdaPoint(const Program& program, Controls& controls) {
  for (const auto& item : LambdaPointItems(program.configuration.cachedLambdaType))
    controls.AddListItem(IDC_LAMBDA_POINT, item);
}

// The lists with a rule of their own.
void WriteSpecialPick(Program& program, int id, int index) {
  Link& link = program.link;
  switch (id) {
    case IDC_PROBE_TYPE:
      WriteParameterBits(link, Param::LambdaType, bits::lambda_type::ProbeType,
                         IntoField(index, bits::lambda_type::ProbeType));
      WriteParameter(link, Param::LambdaPoint, NeutralPointForType(index));
      break;
    case IDC_LAMBDA_POINT:
      // The list still shows the cached type's items until the next refresh rebuilds it.
      WriteParameter(link, Param::LambdaPoint,
                     static_cast<std::uint8_t>(
                         index + LambdaPointOffset(program.configuration.cachedLambdaType)));
      break;
    case IDC_TPS_TYPE:
      if (index < static_cast<int>(std::size(kTpsCodeOfItem)))
        WriteParameterBits(link, Param::LambdaType, bits::lambda_type::TpsCode,
                           kTpsCodeOfItem[index]);
      break;
    default: break;
  }
}

ConfigurationFollowUp WriteListPick(Program& program, int id, int index) {
  const ListRow* row = id == IDC_PROBE_TYPE ? nullptr : ListRowOf(kListRows, id);
  if (!row) {
    WriteSpecialPick(program, id, index);
    return ConfigurationFollowUp::None;
  }
  WritePick(program.link, *row, index);
  if (id == IDC_EMUL_TYPE && index == 0) {
    // The pick closes the list even when its close-up notification has not come yet; left
    // set, listOpen would keep the dialog from ever polling.
    program.shared.listOpen = false;
    program.shared.subDialogOpen = true;
    return ConfigurationFollowUp::OpenEmulationDialog;
  }
  return ConfigurationFollowUp::None;
}

bool IsList(int id) {
  return ListRowOf(kListRows, id) || id == IDC_LAMBDA_POINT || id == IDC_TPS_TYPE;
}

}  // namespace

int LambdaPointOffset(int probeType) { return probeType == 0 ? 20 : probeType == 5 ? 50 : 100; }

void FillConfigurationLists(const Program& program, Controls& controls) {
  const LanguageTexts& texts = program.texts;
  for (const char* item : kProbeTypeNames) controls.AddListItem(IDC_PROBE_TYPE, item);
  FillLambdaPoint(program, controls);
  for (long i = 1; i <= 255; ++i)
    controls.AddListItem(IDC_LAMBDA_DELAY, FormatText("%ld:%02ld", i / 12, 5 * (i % 12)));
  for (int n = 61; n <= 63; ++n) controls.AddListItem(IDC_EMUL_TYPE, texts[n]);
  for (long i = 1; i <= 255; ++i) {
    const std::string item = FormatText("%ld,%03ld", i / 40, 25 * (i % 40));
    controls.AddListItem(IDC_EMUL_TIME_HI, item);
    controls.AddListItem(IDC_EMUL_TIME_LO, item);
  }
  for (int n = 64; n <= 81; ++n) controls.AddListItem(IDC_IGNITION_TYPE, texts[n]);
  for (long i = 0; i < kLpgOnItems; ++i)
    controls.AddListItem(IDC_LPG_ON_SPEED, FormatText("%ld", 1500 + 100 * i));
  controls.AddListItem(IDC_SPEED_SWITCH, texts[82]);
  controls.AddListItem(IDC_SPEED_SWITCH, texts[83]);
  for (int n = 84; n <= 89; ++n) controls.AddListItem(IDC_TPS_TYPE, texts[n]);
  for (long i = 1; i <= 19; ++i)
    controls.AddListItem(IDC_TPS_INERT, FormatText("%ld,%02ld", 0L, 2 * i + 2));
  for (long i = 1; i <= 50; ++i)
    controls.AddListItem(IDC_INJECT_DELAY, FormatText("%ld,%ld", i / 10, i % 10));
  for (long i = 0; i < kLpgOffItems; ++i)
    controls.AddListItem(IDC_LPG_OFF_SPEED, FormatText("%ld", 4000 + 100 * i));
  for (long i = 1; i <= 50; ++i)
    controls.AddListItem(IDC_WOZG, FormatText("%ld,%ld", i / 10, i % 10));
}

void ApplyConfigurationTexts(const Program& program, Controls& controls) {
  static constexpr ControlText kTexts[] = {
      {IDC_HEADING_LAMBDA, 35},       {IDC_HEADING_SPEED, 36},
      {IDC_HEADING_TPS, 37},          {IDC_HEADING_INJECTORS, 38},
      {IDC_HEADING_LPG_OFF, 94},      {IDC_LPG_OFF_ENABLE, 115},
      {IDC_LPG_OFF_SPEED_UNIT, 127},  {IDC_PROBE_TYPE_LABEL, 40},
      {IDC_LAMBDA_POINT_LABEL, 41},   {IDC_LAMBDA_DELAY_LABEL, 42},
      {IDC_EMUL_TYPE_LABEL, 43},      {IDC_EMUL_TIME_HI_LABEL, 44},
      {IDC_EMUL_TIME_LO_LABEL, 45},   {IDC_IGNITION_TYPE_LABEL, 46},
      {IDC_LPG_ON_SPEED_LABEL, 47},   {IDC_SPEED_SWITCH_LABEL, 48},
      {IDC_TPS_TYPE_LABEL, 49},       {IDC_TPS_INERT_LABEL, 50},
      {IDC_INJECT_DELAY_LABEL, 51},   {IDC_WOZG_LABEL, 188},
      {IDC_LAMBDA_POINT_UNIT, 53},    {IDC_LAMBDA_DELAY_UNIT, 54},
      {IDC_EMUL_TIME_HI_UNIT, 55},    {IDC_EMUL_TIME_LO_UNIT, 56},
      {IDC_LPG_ON_SPEED_UNIT, 57},    {IDC_TPS_INERT_UNIT, 58},
      {IDC_INJECT_DELAY_UNIT, 59},    {IDC_WOZG_UNIT, 60},
      {IDC_LOW_SIGNAL, 185},          {IDC_EMERGENCY_START, 187},
  };
  ApplyControlTexts(controls, std::span<const ControlText>(kTexts), program.texts);
}

void RefreshConfiguration(Program& program, Controls& controls) {
  const MemoryImage& image = program.link.image;
  const bool v3 = IsVersion3(image);
  const std::uint8_t lambdaType = Get(image, Param::LambdaType);
  const std::uint8_t emulType = Get(image, Param::EmulType);
  SelectFromImage(controls, image, kListRows);

  ConfigurationState& state = program.configuration;
  const int probeType = LambdaProbeType(lambdaType);
  if (probeType != state.cachedLambdaType) {
    controls.ClearList(IDC_LAMBDA_POINT);
    state.cachedLambdaType = probeType;
    FillLambdaPoint(program, controls);
  }
  const int point = Get(image, Param::LambdaPoint);
  const int offset = LambdaPointOffset(state.cachedLambdaType);
  Select(controls, IDC_LAMBDA_POINT, point >= offset ? point - offset : 0);
  Select(controls, IDC_TPS_TYPE, TpsSensorItem(TpsCode(lambdaType)));

  EnableControls(controls,
                 {IDC_EMUL_TIME_HI, IDC_EMUL_TIME_LO, IDC_EMUL_TIME_HI_LABEL,
                  IDC_EMUL_TIME_LO_LABEL, IDC_EMUL_TIME_HI_UNIT, IDC_EMUL_TIME_LO_UNIT},
                 FieldOf(emulType, bits::emul_type::EmulationType) == 0);
  EnableControls(controls, {IDC_TPS_INERT, IDC_TPS_INERT_LABEL, IDC_TPS_INERT_UNIT},
                 !Has(lambdaType, bits::lambda_type::TpsSwitchCode));

  // The two emulation boxes show the bits of a version-3 controller only; otherwise they keep
  // their check and are greyed.
  for (const CheckBoxRow& box : kCheckBoxes) {
    if (box.version3Only) controls.Enable(box.control, v3);
    if (v3 || !box.version3Only) controls.SetCheck(box.control, CheckedInImage(image, box));
  }
  ShowControls(controls, {IDC_LPG_OFF_SPEED, IDC_LPG_OFF_SPEED_UNIT},
               controls.IsChecked(IDC_LPG_OFF_ENABLE));
  ShowControls(controls, {IDC_WOZG_LABEL, IDC_WOZG, IDC_WOZG_UNIT},
               v3 && Has(emulType, bits::emul_type::EmergencyStart));
}

bool ConfigurationTick(Program& program, Controls& controls) {
  return PollTick(program, PanelGate(program.shared), Blocks({2, 3, 4}),
                  [&] { RefreshConfiguration(program, controls); });
}

ConfigurationFollowUp ConfigurationCommand(Program& program, Controls& controls, int id, int code) {
  if (IsList(id)) {
    const int index = ListNotification(program.shared, controls, id, code);
    return index < 0 ? ConfigurationFollowUp::None : WriteListPick(program, id, index);
  }
  if (const CheckBoxRow* box = CheckBoxRowOf(kCheckBoxes, id); box && code == kButtonClicked)
    WriteCheckBox(program.link, *box, controls.IsChecked(id));
  return ConfigurationFollowUp::None;
}

}  // namespace kv
