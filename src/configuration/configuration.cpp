#include "configuration/configuration.h"

#include <cstdio>

#include "configuration_ids.h"
#include "link/link.h"
#include "link/parameters.h"
#include "link/signals.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/format.h"
#include "ui/controls.h"

namespace kv {
namespace {

// TPS sensor code (low nibble of LambdaType) <-> item of list 1024. Codes 2..5 share item 2 and
// codes 8..15 item 5; a pick stores the first code of its item.
constexpr std::uint8_t kTpsCodeOfItem[6] = {0, 1, 2, 6, 7, 8};

// The LambdaPoint byte the controller gets right after a probe type change.
std::uint8_t NeutralPointForType(int type) { return type == 0 ? 22 : type == 5 ? 60 : 127; }

constexpr unsigned long kLpgOnFirstSpeed = 1500, kLpgOffFirstSpeed = 4000;
constexpr int kLpgOnItems = 21, kLpgOffItems = 41;

void FillLambdaPoint(const Program& program, Controls& controls) {
  for (const auto& item : LambdaPointItems(program.configuration.cachedLambdaType))
    controls.AddListItem(IDC_LAMBDA_POINT, item);
}

ConfigurationFollowUp WriteListPick(Program& program, int id, int index) {
  Link& link = program.link;
  const auto value = [](int v) { return static_cast<std::uint8_t>(v); };
  switch (id) {
    case IDC_PROBE_TYPE:
      WriteParameterBits(link, Param::LambdaType, bits::lambda_type::ProbeType,
                         IntoField(index, bits::lambda_type::ProbeType));
      WriteParameter(link, Param::LambdaPoint, NeutralPointForType(index));
      break;
    case IDC_LAMBDA_POINT:
      // The list still shows the cached type's items until the next refresh rebuilds it.
      WriteParameter(link, Param::LambdaPoint,
                     value(index + LambdaPointOffset(program.configuration.cachedLambdaType)));
      break;
    case IDC_LAMBDA_DELAY: WriteParameter(link, Param::LambdaDelay, value(index + 1)); break;
    case IDC_EMUL_TYPE:
      WriteParameterBits(link, Param::EmulType, bits::emul_type::EmulationType,
                         IntoField(index, bits::emul_type::EmulationType));
      if (index == 0) {
        // The pick closes the list even when its close-up notification has not come yet; left
        // set, listOpen would keep the dialog from ever polling.
        program.shared.listOpen = false;
        program.shared.subDialogOpen = true;
        return ConfigurationFollowUp::OpenEmulationDialog;
      }
      break;
    case IDC_EMUL_TIME_HI: WriteParameter(link, Param::EmulBJ_TimeHi, value(index + 1)); break;
    case IDC_EMUL_TIME_LO: WriteParameter(link, Param::EmulBJ_TimeLo, value(index + 1)); break;
    case IDC_IGNITION_TYPE: WriteParameter(link, Param::IgnitionType, value(index + 1)); break;
    case IDC_LPG_ON_SPEED:
      WriteSpeed(link, Param::LPGOnRPMLo, Param::LPGOnRPMHi,
                 kLpgOnFirstSpeed + 100 * static_cast<unsigned long>(index));
      break;
    case IDC_SPEED_SWITCH:
      WriteParameterBits(link, Param::Options, bits::options::SpeedSwitch,
                         IntoField(index, bits::options::SpeedSwitch));
      break;
    case IDC_TPS_TYPE:
      WriteParameterBits(link, Param::LambdaType, bits::lambda_type::TpsCode,
                         kTpsCodeOfItem[index]);
      break;
    case IDC_TPS_INERT: WriteParameter(link, Param::TPSInert, value(index + 1)); break;
    case IDC_INJECT_DELAY: WriteParameter(link, Param::InjectDelay, value(index + 1)); break;
    case IDC_LPG_OFF_SPEED:
      WriteSpeed(link, Param::LPGOffRPMLo, Param::LPGOffRPMHi,
                 kLpgOffFirstSpeed + 100 * static_cast<unsigned long>(index));
      break;
    case IDC_WOZG: WriteParameter(link, Param::WOZG, value(index + 1)); break;
    default: break;
  }
  return ConfigurationFollowUp::None;
}

void WriteCheckBox(Program& program, int id, bool checked) {
  Link& link = program.link;
  const auto bit = [&](Param p, std::uint8_t mask) {
    WriteParameterBits(link, p, mask, checked ? mask : 0);
  };
  const bool v3 = IsVersion3(link.image);
  switch (id) {
    case IDC_LPG_OFF_ENABLE: bit(Param::Options, bits::options::LpgOff); break;
    case IDC_LOW_SIGNAL: if (v3) bit(Param::EmulType, bits::emul_type::LowSignal); break;
    case IDC_EMERGENCY_START: if (v3) bit(Param::EmulType, bits::emul_type::EmergencyStart); break;
    default: break;
  }
}

bool IsList(int id) {
  switch (id) {
    case IDC_PROBE_TYPE: case IDC_LAMBDA_POINT: case IDC_LAMBDA_DELAY: case IDC_EMUL_TYPE:
    case IDC_EMUL_TIME_HI: case IDC_EMUL_TIME_LO: case IDC_IGNITION_TYPE: case IDC_LPG_ON_SPEED:
    case IDC_SPEED_SWITCH: case IDC_TPS_TYPE: case IDC_TPS_INERT: case IDC_INJECT_DELAY:
    case IDC_LPG_OFF_SPEED: case IDC_WOZG:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<std::string> LambdaPointItems(int probeType) {
  std::vector<std::string> items;
  if (probeType == 0) {
    for (long i = 0; i <= 10; ++i) items.push_back(FormatText("0,%ld", 40 + 2 * i));
  } else if (probeType == 5) {
    for (long i = 0; i <= 15; ++i) items.push_back(FormatText("1,%02ld", 2 * i));
  } else {
    // The 0-5 V probes show volts with a colon: 2:54 stands for 2.54 V.
    for (long i = 0; i <= 50; ++i) items.push_back(FormatText("%ld:%02ld", 2 + i / 50, (2 * i) % 100));
  }
  return items;
}

int LambdaPointOffset(int probeType) { return probeType == 0 ? 20 : probeType == 5 ? 50 : 100; }

int SpeedListIndex(unsigned high, unsigned low, unsigned long firstSpeed, int itemCount) {
  const unsigned long speed = SpeedFromPeriod(high, low);
  if (speed < firstSpeed) return 0;
  const unsigned long index = (speed - firstSpeed) / 100;
  return index < static_cast<unsigned long>(itemCount) ? static_cast<int>(index) : -1;
}

void FillConfigurationLists(const Program& program, Controls& c) {
  const LanguageTexts& texts = program.texts;
  for (const char* item : kProbeTypeNames) c.AddListItem(IDC_PROBE_TYPE, item);
  FillLambdaPoint(program, c);
  for (long i = 1; i <= 255; ++i) c.AddListItem(IDC_LAMBDA_DELAY, FormatText("%ld:%02ld", i / 12, 5 * (i % 12)));
  for (int n = 61; n <= 63; ++n) c.AddListItem(IDC_EMUL_TYPE, texts[n]);
  for (long i = 1; i <= 255; ++i) {
    const std::string item = FormatText("%ld,%03ld", i / 40, 25 * (i % 40));
    c.AddListItem(IDC_EMUL_TIME_HI, item);
    c.AddListItem(IDC_EMUL_TIME_LO, item);
  }
  for (int n = 64; n <= 81; ++n) c.AddListItem(IDC_IGNITION_TYPE, texts[n]);
  for (long i = 0; i < kLpgOnItems; ++i) c.AddListItem(IDC_LPG_ON_SPEED, FormatText("%ld", 1500 + 100 * i));
  c.AddListItem(IDC_SPEED_SWITCH, texts[82]);
  c.AddListItem(IDC_SPEED_SWITCH, texts[83]);
  for (int n = 84; n <= 89; ++n) c.AddListItem(IDC_TPS_TYPE, texts[n]);
  for (long i = 1; i <= 19; ++i) c.AddListItem(IDC_TPS_INERT, FormatText("%ld,%02ld", 0L, 2 * i + 2));
  for (long i = 1; i <= 50; ++i) c.AddListItem(IDC_INJECT_DELAY, FormatText("%ld,%ld", i / 10, i % 10));
  for (long i = 0; i < kLpgOffItems; ++i) c.AddListItem(IDC_LPG_OFF_SPEED, FormatText("%ld", 4000 + 100 * i));
  for (long i = 1; i <= 50; ++i) c.AddListItem(IDC_WOZG, FormatText("%ld,%ld", i / 10, i % 10));
}

void ApplyConfigurationTexts(const Program& program, Controls& c) {
  const LanguageTexts& t = program.texts;
  c.SetText(IDC_HEADING_LAMBDA, t[35]);
  c.SetText(IDC_HEADING_SPEED, t[36]);
  c.SetText(IDC_HEADING_TPS, t[37]);
  c.SetText(IDC_HEADING_INJECTORS, t[38]);
  c.SetText(IDC_HEADING_LPG_OFF, t[94]);
  c.SetText(IDC_LPG_OFF_ENABLE, t[115]);
  c.SetText(IDC_LPG_OFF_SPEED_UNIT, t[127]);
  const int labels[] = {IDC_PROBE_TYPE_LABEL,   IDC_LAMBDA_POINT_LABEL,  IDC_LAMBDA_DELAY_LABEL,
                        IDC_EMUL_TYPE_LABEL,    IDC_EMUL_TIME_HI_LABEL,  IDC_EMUL_TIME_LO_LABEL,
                        IDC_IGNITION_TYPE_LABEL, IDC_LPG_ON_SPEED_LABEL, IDC_SPEED_SWITCH_LABEL,
                        IDC_TPS_TYPE_LABEL,     IDC_TPS_INERT_LABEL,     IDC_INJECT_DELAY_LABEL};
  for (int i = 0; i < 12; ++i) c.SetText(labels[i], t[40 + i]);
  c.SetText(IDC_WOZG_LABEL, t[188]);
  c.SetText(IDC_LAMBDA_POINT_UNIT, t[53]);
  c.SetText(IDC_LAMBDA_DELAY_UNIT, t[54]);
  c.SetText(IDC_EMUL_TIME_HI_UNIT, t[55]);
  c.SetText(IDC_EMUL_TIME_LO_UNIT, t[56]);
  c.SetText(IDC_LPG_ON_SPEED_UNIT, t[57]);
  c.SetText(IDC_TPS_INERT_UNIT, t[58]);
  c.SetText(IDC_INJECT_DELAY_UNIT, t[59]);
  c.SetText(IDC_WOZG_UNIT, t[60]);
  c.SetText(IDC_LOW_SIGNAL, t[185]);
  c.SetText(IDC_EMERGENCY_START, t[187]);
}

void RefreshConfiguration(Program& program, Controls& c) {
  const auto b = [&](Param p) { return Get(program.link.image, p); };
  const bool v3 = IsVersion3(program.link.image);
  const std::uint8_t lambdaType = b(Param::LambdaType);
  const std::uint8_t emulType = b(Param::EmulType);
  const std::uint8_t options = b(Param::Options);

  const int probeType = LambdaProbeType(lambdaType);
  Select(c, IDC_PROBE_TYPE, probeType);
  ConfigurationState& state = program.configuration;
  if (probeType != state.cachedLambdaType) {
    c.ClearList(IDC_LAMBDA_POINT);
    state.cachedLambdaType = probeType;
    FillLambdaPoint(program, c);
  }
  const int point = b(Param::LambdaPoint);
  const int offset = LambdaPointOffset(state.cachedLambdaType);
  Select(c, IDC_LAMBDA_POINT, point >= offset ? point - offset : 0);
  Select(c, IDC_LAMBDA_DELAY, FromOne(b(Param::LambdaDelay)));

  const int emulationType = FieldOf(emulType, bits::emul_type::EmulationType);
  Select(c, IDC_EMUL_TYPE, emulationType);
  EnableControls(c,
             {IDC_EMUL_TIME_HI, IDC_EMUL_TIME_LO, IDC_EMUL_TIME_HI_LABEL, IDC_EMUL_TIME_LO_LABEL,
              IDC_EMUL_TIME_HI_UNIT, IDC_EMUL_TIME_LO_UNIT},
             emulationType == 0);
  Select(c, IDC_EMUL_TIME_HI, FromOne(b(Param::EmulBJ_TimeHi)));
  Select(c, IDC_EMUL_TIME_LO, FromOne(b(Param::EmulBJ_TimeLo)));

  Select(c, IDC_IGNITION_TYPE, FromOne(b(Param::IgnitionType)));
  Select(c, IDC_LPG_ON_SPEED,
         SpeedListIndex(b(Param::LPGOnRPMHi), b(Param::LPGOnRPMLo), kLpgOnFirstSpeed, kLpgOnItems));
  Select(c, IDC_SPEED_SWITCH, FieldOf(options, bits::options::SpeedSwitch));

  c.Enable(IDC_LOW_SIGNAL, v3);
  if (v3) c.SetCheck(IDC_LOW_SIGNAL, Has(emulType, bits::emul_type::LowSignal));

  Select(c, IDC_TPS_TYPE, TpsSensorItem(TpsCode(lambdaType)));
  EnableControls(c, {IDC_TPS_INERT, IDC_TPS_INERT_LABEL, IDC_TPS_INERT_UNIT},
                 !Has(lambdaType, bits::lambda_type::TpsSwitchCode));
  Select(c, IDC_TPS_INERT, FromOne(b(Param::TPSInert)));
  Select(c, IDC_INJECT_DELAY, FromOne(b(Param::InjectDelay)));

  c.SetCheck(IDC_LPG_OFF_ENABLE, Has(options, bits::options::LpgOff));
  ShowControls(c, {IDC_LPG_OFF_SPEED, IDC_LPG_OFF_SPEED_UNIT}, c.IsChecked(IDC_LPG_OFF_ENABLE));
  Select(c, IDC_LPG_OFF_SPEED,
         SpeedListIndex(b(Param::LPGOffRPMHi), b(Param::LPGOffRPMLo), kLpgOffFirstSpeed,
                        kLpgOffItems));

  c.Enable(IDC_EMERGENCY_START, v3);
  const bool emergencyStart = Has(emulType, bits::emul_type::EmergencyStart);
  if (v3) c.SetCheck(IDC_EMERGENCY_START, emergencyStart);
  ShowControls(c, {IDC_WOZG_LABEL, IDC_WOZG, IDC_WOZG_UNIT}, v3 && emergencyStart);
  Select(c, IDC_WOZG, FromOne(b(Param::WOZG)));
}

bool ConfigurationTick(Program& program, Controls& controls) {
  return PollTick(program, PanelGate(program.shared), Blocks({2, 3, 4}),
                  [&] { RefreshConfiguration(program, controls); });
}

ConfigurationFollowUp ConfigurationCommand(Program& program, Controls& controls, int id, int code) {
  if (IsList(id)) {
    if (code == kListSelectionChange) {
      const int index = PickedIndex(controls, id);
      return index < 0 ? ConfigurationFollowUp::None : WriteListPick(program, id, index);
    }
    program.shared.listOpen = (code == kListDropDown);
    return ConfigurationFollowUp::None;
  }
  if ((id == IDC_LPG_OFF_ENABLE || id == IDC_LOW_SIGNAL || id == IDC_EMERGENCY_START) &&
      code == kButtonClicked)
    WriteCheckBox(program, id, controls.IsChecked(id));
  return ConfigurationFollowUp::None;
}

}  // namespace kv
