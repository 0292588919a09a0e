#include "readings/readings.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "link/link.h"
#include "link/parameters.h"
#include "link/value_texts.h"
#include "readings/dial.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/controls.h"
#include "ui/design_frame.h"
#include "ui/drawing_resources.h"

namespace kv {
namespace {

constexpr ReadingsSizeLayout kLayouts[5] = {
    {0, 123, 57, 142, 22, 540, 358, 71, 30},
    {0, 160, 72, 185, 30, 695, 465, 70, 40},
    {0, 211, 92, 243, 40, 880, 610, 95, 60},
    {0, 268, 115, 313, 50, 1100, 780, 120, 75},
    {0, 288, 115, 335, 55, 1100, 840, 120, 75},
};

constexpr Rgb kLampColours[4] = {colour::Cyan, colour::DarkGreen, colour::Yellow, colour::Red};

// The panel is laid out in the design frame.
using Frame = DesignFrame;
Frame FrameOf(const Program& p) { return {p.shell.scaleX, p.shell.scaleY}; }

// The decoded bytes one refresh works from.
struct Image {
  explicit Image(const MemoryImage& m) : m(m) {}
  std::uint8_t operator()(ByteRef r) const { return Get(m, r); }
  std::uint8_t operator()(Param p) const { return Get(m, p); }
  const MemoryImage& m;
};


void Fill(Canvas& canvas, Rgb colour, Rect r) { canvas.Rectangle({colour, 1}, {colour}, r); }

void Label(Canvas& canvas, const Frame& f, int x, int y, std::string_view text,
           Rgb colour = colour::Black) {
  canvas.Text(FontKind::Label, colour, colour::LightGrey, f.P(x, y), {}, text);
}

// A value in the value font on white.
void Value(Canvas& canvas, const Frame& f, int x, int y, std::string_view text) {
  canvas.Text(FontKind::Value, colour::Black, colour::White, f.P(x, y), {}, text);
}

// A value in the label font on white.
void SmallValue(Canvas& canvas, const Frame& f, int x, int y, std::string_view text,
                Rgb colour = colour::Black) {
  canvas.Text(FontKind::Label, colour, colour::White, f.P(x, y), {}, text);
}

Rect MessageLine(const Frame& f, int k) { return f.R(40, 385 + 20 * k, 440, 405 + 20 * k); }

void DrawMessageLine(Canvas& canvas, const Frame& f, int k, std::string_view text, Rgb colour) {
  const Rect line = MessageLine(f, k);
  canvas.Text(FontKind::Label, colour, colour::White, {line.left, line.top}, line, text);
}

// The message area collects what a refresh writes and draws each line once, with its final
// text: a line blanked and then written in the same refresh never flashes white.
struct Messages {
  struct Entry {
    std::string text;
    Rgb colour;
  };
  std::optional<Entry> line[6];

  void Write(int k, std::string_view text, bool red = false) {
    line[k] = Entry{std::string(text), red ? colour::Red : colour::Black};
  }
  void Blank(int k) { Write(k, " "); }
  void Draw(Canvas& canvas, const Frame& f) const {
    for (int k = 1; k <= 5; ++k)
      if (line[k]) DrawMessageLine(canvas, f, k, line[k]->text, line[k]->colour);
  }
};

enum class FuelField { Unchanged, Petrol, Gas };

// The states in which the controller shows no full status: offline, another version, not
// operating, or without emulation. Each has its fixed lines; nothing when the full status applies.
std::optional<FuelField> ReducedStatusMessages(const Program& p, const Image& img, Messages& m) {
  const auto& t = p.texts;
  if (p.link.offline) {
    m.Write(1, t[30], true);
    m.Write(3, t[31]);
    m.Blank(2), m.Blank(4), m.Blank(5);
    return FuelField::Petrol;
  }
  if (!IsVersion3(p.link.image)) {
    m.Write(1, t[29], true);
    m.Blank(2), m.Blank(3), m.Blank(4), m.Blank(5);
    return FuelField::Unchanged;
  }
  if (!Has(img(bytes::Status), bits::status::Operating)) {
    m.Write(3, t[28], true);
    m.Write(1, t[12]);
    m.Blank(2), m.Blank(4), m.Blank(5);
    return FuelField::Petrol;
  }
  if (!Has(img(Param::EmulType), bits::emul_type::FullStatus)) {
    if (Has(img(bytes::Switches), bits::switches::OnGas)) {
      m.Write(1, t[13]);
      m.Blank(2), m.Blank(3), m.Blank(4), m.Blank(5);
      return FuelField::Gas;
    }
    m.Write(3, t[27], true);
    m.Write(1, t[12]);
    m.Blank(2), m.Blank(4), m.Blank(5);
    return FuelField::Petrol;
  }
  return std::nullopt;
}

// While the controller learns: line 5 asks for idle, or says learning goes on off idle.
void LearningMessages(ReadingsState& s, const LanguageTexts& t, Messages& m) {
  s.learnActive = true;
  m.Blank(3);
  if (s.nonIdleLamp)
    m.Write(5, t[16]);
  else
    m.Write(5, t[17], true);
}

// The outcome of the user's learn request once learning has ended; a failure stays shown.
void LearnOutcomeMessage(ReadingsState& s, const LanguageTexts& t, std::uint8_t switches,
                         Messages& m) {
  using namespace bits::switches;
  if (!Has(switches, LearnFinished)) {
    m.Write(5, t[18], true);
    s.learnRequested = false;
  } else if (Has(switches, LearnFailed)) {
    m.Write(5, t[19], true);
  } else {
    m.Write(5, t[20], true);
    s.learnRequested = false;
  }
  s.messageAge = 0;
}

// Which of the switch-on conditions the car meets; a learn message fades after 60 refreshes
// once both are met.
void ConditionMessages(Program& p, const Image& img, unsigned long lpgOnSpeed, Messages& m) {
  using namespace bits::switches;
  ReadingsState& s = p.readings;
  const auto& t = p.texts;
  const std::uint8_t switches = img(bytes::Switches);
  m.Blank(4);
  if (Has(switches, TemperatureReached) && Has(switches, SpeedReached)) {
    m.Blank(2);
    if (Has(switches, CutOff)) {
      m.Write(5, t[23], true);
    } else if (++s.messageAge > 60) {
      m.Blank(5);
      s.messageAge = 60;
    }
    if (!Has(switches, CutOff)) m.Blank(3);
  } else if (Has(switches, TemperatureReached)) {
    m.Write(3, t[24]);
    const bool belowOn = Has(img(Param::Options), bits::options::SpeedSwitch) ||
                         !(p.shared.engineSpeed > static_cast<long>(lpgOnSpeed));
    m.Write(4, belowOn ? t[25] : t[26], true);
  } else {
    m.Write(3, t[24]);
    m.Write(4, t[22], true);
  }
}

// The message area's lines and the fuel field: a reduced status when the controller gives no
// full one; otherwise the fuel, then learning, a learn outcome, LPG off, or the conditions.
FuelField EvaluateMessages(Program& p, const Image& img, unsigned long lpgOnSpeed,
                           Messages& m) {
  if (const auto fuel = ReducedStatusMessages(p, img, m)) return *fuel;
  using namespace bits::switches;
  ReadingsState& s = p.readings;
  const auto& t = p.texts;
  const std::uint8_t switches = img(bytes::Switches);
  const bool onGas = Has(switches, bits::switches::OnGas);
  m.Write(1, onGas ? t[13] : t[12]);
  const FuelField fuel = onGas ? FuelField::Gas : FuelField::Petrol;
  if (Has(switches, Learning)) {
    LearningMessages(s, t, m);
    return fuel;
  }
  s.learnActive = false;
  if (s.learnRequested) LearnOutcomeMessage(s, t, switches, m);
  if (Has(switches, LpgOff)) {
    m.Write(3, t[21], true);
    if (Has(switches, TemperatureReached))
      m.Blank(4);
    else
      m.Write(4, t[22], true);
    return fuel;
  }
  ConditionMessages(p, img, lpgOnSpeed, m);
  return fuel;
}

void DrawFuelField(Program& p, Canvas& canvas, const Frame& f, FuelField fuel) {
  if (fuel == FuelField::Unchanged) return;
  const bool gas = fuel == FuelField::Gas;
  const Rgb fill = gas ? colour::Cyan : colour::Green;
  canvas.Rectangle({colour::Black, 1}, {fill}, f.R(490, 465, 615, 505));
  canvas.Text(FontKind::Label, colour::Black, fill, f.P(gas ? 535 : 515, 475), {},
         p.texts[gas ? 15 : 14]);
  p.readings.onGas = gas;
}

// The switch-on temperature gets room for three digits: a clamped 100 is shown whole.
Rect SwitchOnTemperatureField(const Program& p, const Frame& f) {
  const int top = f.Y(385);
  return {f.X(705), top, f.X(740), top + FontFor(p.shell.screenSize, FontKind::Label).height};
}

// The AttInit caption may be long; it stays inside the actuator box.
Rect AttInitCaptionClip(const Program& p, const Frame& f, int attInit) {
  const int top = f.Y(345);
  return {f.X(attInit + 144), top, f.X(440),
          top + FontFor(p.shell.screenSize, FontKind::Label).height};
}

}  // namespace

const ReadingsSizeLayout& ReadingsLayoutFor(int screenSize) {
  return kLayouts[std::clamp(screenSize, 1, 5) - 1];
}

Rect TpsLampRect(const ShellState& shell, int n) {
  const ReadingsSizeLayout& l = ReadingsLayoutFor(shell.screenSize);
  const int base = shell.lampBases[static_cast<std::size_t>(std::clamp(n, 1, 4) - 1)];
  return {base + l.lampLeft, l.lampTop, base + l.lampRight, l.lampBottom};
}

void PlaceLearnButton(const Program& p, Controls& ui) {
  const ReadingsSizeLayout& l = ReadingsLayoutFor(p.shell.screenSize);
  ui.Move(kLearnButton, l.buttonX, l.buttonY, l.buttonWidth, l.buttonHeight);
}

void DrawReadingsFrame(Program& p, Canvas& canvas, Controls& ui) {
  const Frame f = FrameOf(p);
  const auto& t = p.texts;

  canvas.Rectangle({colour::Grey, 1}, {colour::Red}, f.R(0, 0, 800, 570));

  const Pen outline{colour::Black, 1};
  const Brush grey{colour::LightGrey}, white{colour::White};
  canvas.RoundRect(outline, grey, f.R(20, 20, 450, 110), 20, 20);    // lambda
  canvas.RoundRect(outline, grey, f.R(20, 130, 450, 220), 20, 20);   // TPS
  canvas.RoundRect(outline, grey, f.R(20, 240, 450, 370), 20, 20);   // actuator
  canvas.RoundRect(outline, grey, f.R(20, 390, 450, 520), 20, 20);   // messages
  canvas.RoundRect(outline, grey, f.R(470, 340, 780, 430), 20, 20);  // temperature
  canvas.RoundRect(outline, grey, f.R(470, 450, 780, 520), 20, 20);  // fuel state
  canvas.RoundRect(outline, white, f.R(470, 20, 780, 320), 20, 20);  // speed

  canvas.Rectangle(outline, grey, f.R(135, 45, 440, 80));
  canvas.Rectangle(outline, grey, f.R(135, 155, 440, 190));
  canvas.Rectangle(outline, grey, f.R(135, 265, 440, 315));
  canvas.Rectangle({colour::Grey, 1}, grey, f.R(159, 268, 419, 292));
  canvas.Rectangle(outline, white, f.R(29, 399, 442, 511));

  for (int n = 1; n <= 4; ++n)
    canvas.Rectangle({kLampColours[n - 1], 1}, grey, TpsLampRect(p.shell, n));

  Label(canvas, f, 240, 25, t[0]);
  Label(canvas, f, 270, 135, t[3]);
  Label(canvas, f, 245, 245, t[5]);
  Label(canvas, f, 135, 196, t[4]);
  Label(canvas, f, 520, 345, t[11]);
  Label(canvas, f, 150, 86, t[1]);
  Label(canvas, f, 360, 86, t[2]);
  Label(canvas, f, 345, 196, "V");
  Label(canvas, f, 630, 385, "LPG ON:");
  Label(canvas, f, 740, 385, "\u00B0C");
  ui.SetText(kLearnButton, t[33]);

  canvas.Text(FontKind::Value, colour::Black, colour::LightGrey, f.P(110, 45), {}, "V");
  canvas.Text(FontKind::Value, colour::Black, colour::LightGrey, f.P(110, 155), {}, "V");
  canvas.Text(FontKind::Value, colour::Black, colour::LightGrey, f.P(550, 375), {}, "\u00B0C");

  DrawSpeedDial(p, canvas, ui);

  ui.Move(kLogoPicture, f.X(710), f.Y(25), f.X(65), f.Y(42));
}

namespace {

// Lambda box: the voltage, the probe marker and the neutral-point marker, then the rest of both
// rows.
void RefreshLambda(Canvas& canvas, const Image& img, const Frame& f) {
  const int probeType = LambdaProbeType(img(Param::LambdaType));
  const unsigned lambda = img(bytes::Lambda);
  Value(canvas, f, 40, 45, VoltsText(Volts(LambdaVolts(img.m))));
  const int pos = static_cast<int>(std::min(probeType == 0 ? lambda * 5 : lambda, 255u));
  const int point = static_cast<int>(probeType == 0 ? img(Param::LambdaPoint) * 5
                                                    : img(Param::LambdaPoint));
  const int state = LambdaState(img(bytes::Status));
  const Rgb stateColour = state == 1 ? colour::DarkGreen : state == 4 ? colour::Red : colour::Yellow;
  Fill(canvas, stateColour, f.R(140 + pos, 52, 180 + pos, 70));
  // The neutral point is not capped; what lies past the bar's end is not drawn.
  const int pointLeft = std::min(140 + point, 436), pointRight = std::min(180 + point, 436);
  Fill(canvas, colour::Black, f.R(pointLeft, 73, pointRight, 77));
  Fill(canvas, colour::LightGrey, f.R(140, 73, pointLeft, 77));
  Fill(canvas, colour::LightGrey, f.R(pointRight, 73, 436, 77));
  Fill(canvas, colour::LightGrey, f.R(140, 52, 140 + pos, 70));
  Fill(canvas, colour::LightGrey, f.R(180 + pos, 52, 436, 70));
}

// TPS box: the lamps, the voltage by sensor code and the inertia.
void RefreshTps(Program& p, Canvas& canvas, const Image& img, const Frame& f) {
  const int lit = ThrottleLamp(img(bytes::Status));
  for (int n = 1; n <= 4; ++n) {
    const Rgb lamp = kLampColours[n - 1];
    canvas.Rectangle({lamp, 1}, {lit == n ? lamp : colour::LightGrey}, TpsLampRect(p.shell, n));
  }
  p.readings.nonIdleLamp = lit >= 2;

  const ThrottleReading throttle = DecodeThrottle(img.m);
  switch (throttle.kind) {
    case ThrottleReading::None:
      Value(canvas, f, 40, 155, "_.__");
      break;
    case ThrottleReading::Switch: {
      // Code 7's blank reaches a little further right than code 6's.
      const bool code6 = TpsCode(img(Param::LambdaType)) == 6;
      Fill(canvas, colour::LightGrey, f.R(30, 155, code6 ? 105 : 110, 195));
      Value(canvas, f, 40, 155, throttle.on ? " ON" : "OFF");
      break;
    }
    case ThrottleReading::Volts:
      Value(canvas, f, 40, 155, VoltsText(Volts(throttle.volts)));
      break;
  }
  SmallValue(canvas, f, 305, 196, VoltsText(TpsInertHundredths(img(Param::TPSInert)) / 100.0));
}

// Actuator box: the position bar, the AttInit pointer (its area cleared only when it moves), the
// idle and working bands around AttInit and the throttle-jump marker.
void RefreshActuator(Program& p, Canvas& canvas, const Image& img, const Frame& f) {
  ReadingsState& s = p.readings;
  const int actuator = static_cast<int>(img(bytes::Actuator));
  Value(canvas, f, 40, 265, DigitsText(actuator, 3));
  Fill(canvas, colour::Navy, f.R(161, 270, 161 + actuator, 290));
  Fill(canvas, colour::LightGrey, f.R(161 + actuator, 270, 417, 290));

  const int attInit = static_cast<int>(img(Param::AttInit));
  if (attInit != s.lastAttInit) Fill(canvas, colour::LightGrey, f.R(140, 316, 440, 360));
  Label(canvas, f, attInit + 157, 315, "^");
  SmallValue(canvas, f, attInit + 147, 326, DigitsText(attInit, 3));
  const Rect captionClip = AttInitCaptionClip(p, f, attInit);
  canvas.Text(FontKind::Label, colour::Black, colour::LightGrey,
              {captionClip.left, captionClip.top},
         captionClip, p.texts[6]);
  s.lastAttInit = attInit;

  // The bands are clipped to the bar; the rows' rest is light grey.
  const int base = attInit + 161;
  const auto clipLeft = [](int v) { return std::max(v, 161); };
  const auto clipRight = [](int v) { return std::min(v, 418); };
  const int idleLeft = clipLeft(base - static_cast<int>(img(Param::AttMin_BJ)));
  const int idleRight = clipRight(base + static_cast<int>(img(Param::AttMax_BJ)));
  const int workLeft = clipLeft(base - static_cast<int>(img(Param::AttMin)));
  const int workRight = clipRight(base + static_cast<int>(img(Param::AttMax)));
  Fill(canvas, colour::Cyan, f.R(idleLeft, 300, idleRight, 305));
  Fill(canvas, colour::Red, f.R(workLeft, 307, workRight, 312));
  Fill(canvas, colour::LightGrey, f.R(160, 300, idleLeft, 305));
  Fill(canvas, colour::LightGrey, f.R(idleRight, 300, 418, 305));
  Fill(canvas, colour::LightGrey, f.R(160, 307, workLeft, 312));
  Fill(canvas, colour::LightGrey, f.R(workRight, 307, 418, 312));

  const int attJump = static_cast<int>(img(Param::AttJump));
  const int jump = IsVersion3(p.link.image)
                       ? std::min(attInit + attInit * attJump / 100, 255)
                       : attJump;
  const bool switchSensor = IsSwitchTps(TpsCode(img(Param::LambdaType)));
  if (!switchSensor && Has(img(Param::Options), bits::options::Jump))
    Fill(canvas, colour::Black, f.R(160 + jump, 293, 162 + jump, 298));
  Fill(canvas, colour::LightGrey, f.R(150, 293, 160 + jump, 298));
  Fill(canvas, colour::LightGrey, f.R(162 + jump, 293, 425, 298));
}

// Speed box: the engine speed and the dial, the switching thresholds and the switch captions.
// Returns the LPG-on speed, which the messages compare with.
unsigned long RefreshSpeed(Program& p, Canvas& canvas, Controls& ui, const Image& img,
                           const Frame& f) {
  ReadingsState& s = p.readings;
  const long speed = EngineSpeed(p.link.image);
  p.shared.engineSpeed = speed;
  Value(canvas, f, 590, 210, DigitsText(speed, 4));
  if (speed != s.dial.lastDialSpeed) {
    s.dial.lastDialSpeed = speed;
    DrawSpeedDial(p, canvas, ui);
  }

  const std::uint8_t options = img(Param::Options);
  const auto cutOff = SpeedParameter(p.link.image, Param::CutOffRPMLo, Param::CutOffRPMHi);
  const auto lpgOn = SpeedParameter(p.link.image, Param::LPGOnRPMLo, Param::LPGOnRPMHi);
  const auto lpgOff =
      static_cast<long>(SpeedParameter(p.link.image, Param::LPGOffRPMLo, Param::LPGOffRPMHi));
  SmallValue(canvas, f, 510, 265, DigitsText(static_cast<long>(cutOff), 4),
             Has(options, bits::options::CutOff) ? colour::Black : colour::Grey);
  SmallValue(canvas, f, 605, 265, DigitsText(static_cast<long>(lpgOn), 4));
  if (lpgOff != s.dial.lpgOffSpeed) {
    s.dial.lpgOffSpeed = lpgOff;
    DrawSpeedDial(p, canvas, ui);
    s.dial.lastDialSpeed = speed;
  }
  SmallValue(canvas, f, 705, 265, DigitsText(lpgOff, 4),
             Has(options, bits::options::LpgOff) ? colour::Black : colour::Grey);

  // " LPG ON " follows the fuel state of the previous refresh.
  const std::uint8_t switches = img(bytes::Switches);
  Label(canvas, f, 590, 290, " LPG ON ", s.onGas ? colour::DarkGreen : colour::Black);
  Label(canvas, f, 685, 290, " LPG OFF ",
        Has(switches, bits::switches::LpgOff) ? colour::Red : colour::Black);
  Label(canvas, f, 485, 290, " CUT-OFF ",
        Has(switches, bits::switches::CutOff) ? colour::Red : colour::Black);
  return lpgOn;
}

// Temperature box: the coolant temperature and the switch-on temperature.
void RefreshTemperatures(const Program& p, Canvas& canvas, const Image& img, const Frame& f) {
  Value(canvas, f, 490, 375, DigitsText(TemperatureFromRaw(img(bytes::Temperature)), 3));
  const Rect onTemp = SwitchOnTemperatureField(p, f);
  canvas.Text(FontKind::Label,
         Has(img(Param::Options), bits::options::SwitchOnTemperature) ? colour::Black : colour::Grey,
         colour::White, {onTemp.left, onTemp.top}, onTemp,
         TemperatureText(img(Param::LPGOnTemp)));
}

// Learn lamp: yellow while learning at idle; blinking while learning off idle.
void RefreshLearnLamp(Program& p, Canvas& canvas, const Frame& f) {
  ReadingsState& s = p.readings;
  if (++s.blinkCount > 1) {
    s.blinkPhase = !s.blinkPhase;
    s.blinkCount = 0;
  }
  Rgb lamp = colour::Olive;
  if (s.learnActive) lamp = (!s.nonIdleLamp || s.blinkPhase) ? colour::Yellow : colour::Olive;
  const int d = ReadingsLayoutFor(p.shell.screenSize).learnLampDiameter;
  const Point corner = f.P(635, 470);
  canvas.Ellipse({colour::Black, 1}, {lamp}, {corner.x, corner.y, corner.x + d, corner.y + d});
}

}  // namespace

void RefreshReadings(Program& p, Canvas& canvas, Controls& ui) {
  const Image img(p.link.image);
  const Frame f = FrameOf(p);
  ui.SetText(kRawTemperatureField, std::to_string(img(bytes::Temperature)));
  RefreshLambda(canvas, img, f);
  RefreshTps(p, canvas, img, f);
  RefreshActuator(p, canvas, img, f);
  const unsigned long lpgOn = RefreshSpeed(p, canvas, ui, img, f);
  RefreshTemperatures(p, canvas, img, f);
  // Messages and the fuel-state field.
  Messages messages;
  const FuelField fuel = EvaluateMessages(p, img, lpgOn, messages);
  messages.Draw(canvas, f);
  DrawFuelField(p, canvas, f, fuel);
  RefreshLearnLamp(p, canvas, f);
}

bool ReadingsTick(Program& p, Canvas& canvas, Controls& ui) {
  return PollTick(
      p, IdleWhileListOpen(p.shared), [&] { return ReadingsBlocks(p.readings.blockTicks); },
      [&] { RefreshReadings(p, canvas, ui); });
}

void LearnPressed(Program& p, Canvas& canvas, Controls&) {
  if (p.link.offline || !IsVersion3(p.link.image) || !p.readings.onGas) return;
  ReadingsState& s = p.readings;
  if (s.learnActive) {
    DrawMessageLine(canvas, FrameOf(p), 5, p.texts[32], colour::Red);
    s.messageAge = 0;
    s.learnRequested = false;
  } else {
    s.learnRequested = true;  // the next refreshes show the outcome
  }
  SendCommand(p.link, kCommandLearn);
}

}  // namespace kv
