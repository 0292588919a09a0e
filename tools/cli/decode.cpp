#include "decode.h"

#include <cstdio>
#include <cstdlib>

#include "files/code_page.h"
#include "link/signals.h"
#include "link/value_texts.h"

namespace kv::cli {
namespace {

// A value in hundredths, thousandths or tenths as an exact decimal ("-0.10", "1.000").
std::string Decimal(long scaled, int decimals) {
  long divisor = 1;
  for (int i = 0; i < decimals; ++i) divisor *= 10;
  const long whole = std::labs(scaled) / divisor, part = std::labs(scaled) % divisor;
  char text[40];
  if (decimals == 0)
    std::snprintf(text, sizeof text, "%s%ld", scaled < 0 ? "-" : "", whole);
  else
    std::snprintf(text, sizeof text, "%s%ld.%0*ld", scaled < 0 ? "-" : "", whole, decimals, part);
  return text;
}

Field Number(long scaled, int decimals, std::string unit) {
  return Field{{}, Decimal(scaled, decimals), std::move(unit), {}};
}
Field Text(std::string label, std::string text) { return Field{std::move(label), {}, {}, std::move(text)}; }
Field OnOff(std::string label, bool on) { return Text(std::move(label), on ? "on" : "off"); }

// A list item by index, or what the panel shows for a byte outside its list: no selection.
std::string Item(const LanguageTexts& t, int firstText, int count, int index) {
  if (index < 0 || index >= count) return "(not in the list: " + std::to_string(index) + ")";
  return t[firstText + index];
}

// Steps with the sign the options panel's lists show: "+40" above the base, "-40" below.
Field Steps(std::uint8_t byte, int sign) {
  Field f = Number(sign * long{byte}, 0, "steps");
  if (sign > 0) f.number.insert(0, 1, '+');
  return f;
}

Field Speed(const MemoryImage& image, Param lo, Param hi) {
  return Number(static_cast<long>(SpeedFromPeriod(Get(image, hi), Get(image, lo))), 0, "rpm");
}

Decoding OptionsFields(std::uint8_t b, const LanguageTexts& t) {
  using namespace bits::options;
  return {OnOff(t[116], Has(b, SwitchOnTemperature)), OnOff(t[104], !Has(b, AutomaticBase)),
          OnOff(t[109], Has(b, Jump)), Text(t[48], t[82 + FieldOf(b, SpeedSwitch)]),
          OnOff(t[112], Has(b, CutOff)), OnOff(t[115], Has(b, LpgOff)),
          Text(t[39], t[kGasSensorTypeFirstText + GasSensorTypeIndex(b)])};
}

Decoding LambdaTypeFields(std::uint8_t b, const LanguageTexts& t) {
  const int probe = LambdaProbeType(b);
  const std::string probeName = probe < static_cast<int>(std::size(kProbeTypeNames))
                                    ? kProbeTypeNames[probe]
                                    : "(not in the list: " + std::to_string(probe) + ")";
  return {Text(t[40], probeName), Text(t[49], t[kTpsSensorFirstText + TpsSensorItem(TpsCode(b))])};
}

Decoding EmulTypeFields(std::uint8_t b, const LanguageTexts& t) {
  using namespace bits::emul_type;
  return {Text(t[43], Item(t, 61, 3, FieldOf(b, EmulationType))), OnOff(t[185], Has(b, LowSignal)),
          OnOff(t[187], Has(b, EmergencyStart)),
          Text(t[117], Item(t, 129, 3, FieldOf(b, EmulationMode))),
          OnOff("Full status messages", Has(b, FullStatus))};
}

// A correction nibble n shows 2 x (16 - n) - d, with d fixed per list.
Decoding CorrectionFields(std::uint8_t b, const LanguageTexts& t, int lowText, int lowD,
                          int highD) {
  auto shown = [](int n, int d) { return CorrectionText(2 * (16 - n) - d); };
  using namespace bits::correction;
  return {Text(t[lowText], shown(FieldOf(b, Low), lowD)),
          Text(t[lowText + 1], shown(FieldOf(b, High), highD))};
}

Field TpsJump(const MemoryImage& image) {
  return Number(2L * TpsJumpFiftieths(Get(image, Param::LambdaType), Get(image, Param::TPSJump)), 2,
                "V");
}

Decoding Numeric(Param p, const MemoryImage& image) {
  const long b = Get(image, p);
  switch (p) {
    case Param::LambdaPoint: return {Number(2 * b, 2, "V")};
    case Param::LambdaDelay: return {Number(5 * b, 0, "s")};
    case Param::EmulBJ_TimeHi:
    case Param::EmulBJ_TimeLo: return {Number(25 * b, 3, "s")};
    case Param::InjectDelay:
    case Param::WOZG: return {Number(b, 1, "s")};
    case Param::LPGOnTemp: return {Number(TemperatureFromRaw(static_cast<unsigned>(b)), 0, "°C")};
    case Param::AttMax:
    case Param::AttMax_BJ: return {Steps(static_cast<std::uint8_t>(b), +1)};
    case Param::AttMin:
    case Param::AttMin_BJ: return {Steps(static_cast<std::uint8_t>(b), -1)};
    case Param::AttInit: return {Number(b, 0, "steps")};
    case Param::TPSJump: return {TpsJump(image)};
    case Param::AttJump:
    case Param::CutOffSteps: return {Number(b, 0, "%")};
    case Param::LPGOnRPMLo:
    case Param::LPGOnRPMHi: return {Speed(image, Param::LPGOnRPMLo, Param::LPGOnRPMHi)};
    case Param::CutOffRPMLo:
    case Param::CutOffRPMHi: return {Speed(image, Param::CutOffRPMLo, Param::CutOffRPMHi)};
    case Param::LPGOffRPMLo:
    case Param::LPGOffRPMHi: return {Speed(image, Param::LPGOffRPMLo, Param::LPGOffRPMHi)};
    case Param::TPSInert: return {Number(TpsInertHundredths(static_cast<std::uint8_t>(b)), 2, "V")};
    default: return {Number(b, 0, "")};  // the gas level sensor points: raw sensor values
  }
}

}  // namespace

std::string Field::Shown() const {
  std::string value = number.empty() ? text : number;
  if (!unit.empty()) value += " " + unit;
  return label.empty() ? value : label + ": " + value;
}

std::string ShownDecoding(const Decoding& decoding) {
  std::string out;
  for (const Field& f : decoding) {
    if (!out.empty()) out += "; ";
    out += f.Shown();
  }
  return out;
}

Decoding DecodeSetting(Param p, const MemoryImage& image, const LanguageTexts& english) {
  const std::uint8_t b = Get(image, p);
  switch (p) {
    case Param::Options: return OptionsFields(b, english);
    case Param::LambdaType: return LambdaTypeFields(b, english);
    case Param::EmulType: return EmulTypeFields(b, english);
    case Param::IgnitionType: return {Text({}, Item(english, 64, 18, b == 0 ? 0 : b - 1))};
    case Param::ZAM_OTW_BJ: return CorrectionFields(b, english, 99, 14, 12);
    case Param::ZAM_OTW_DO: return CorrectionFields(b, english, 101, 22, 18);
    default: return Numeric(p, image);
  }
}

std::string ControllerVersion(const MemoryImage& image) {
  return ControllerVersionText(Version(image), Revision(image));
}

std::string Registration(const MemoryImage& image) {
  std::string text = RegistrationText(image, CodePage::Windows1250);
  for (char& c : text)  // never a control code on a terminal
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%s%02X", i ? " " : "", bytes[i]);
    out += byte;
  }
  return out;
}

MemoryImage ImageOfSettings(const std::uint8_t (&values)[kSettingsCount]) {
  MemoryImage image;
  for (std::size_t k = 0; k < kSettingsCount; ++k) {
    const ByteRef at = kParameters[k].byte;
    image.blocks[static_cast<std::size_t>(at.block - 1)][at.index] = values[k];
  }
  return image;
}

}  // namespace kv::cli
