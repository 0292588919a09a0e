#include "oscilloscope/oscilloscope.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/parameters.h"
#include "link/value_texts.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/controls.h"
#include "ui/design_frame.h"

namespace kv {
namespace {

// The panel is laid out in the design frame.
using Frame = DesignFrame;

Frame FrameOf(const Program& p) { return {p.shell.scaleX, p.shell.scaleY}; }

// Chart frames (x 198..600) and the inner bands the traces, strips and cursor stay within.
struct Chart {
  int top, bottom, bandTop, bandBottom;
};
constexpr int kChartLeft = 198, kChartRight = 600;
constexpr Chart kCharts[4] = {
    {40, 140, 43, 137}, {150, 250, 153, 247}, {260, 360, 263, 357}, {370, 470, 373, 467}};

constexpr std::array<Pen, kTraceCount> kTracePens = {{{colour::OliveBrown, 2},
                                                      {colour::Green, 2},
                                                      {colour::DarkGreen, 1},
                                                      {colour::Blue, 2},
                                                      {colour::Navy, 2}}};
// Repaints draw trace 3 (AttInit, thin) under trace 2 (the actuator).
constexpr int kRepaintOrder[kTraceCount] = {0, 2, 1, 3, 4};

constexpr Pen kSweepPen{colour::Red, 1};
constexpr Pen kCursorPen{colour::Black, 1};
constexpr Pen kErasePen{colour::White, 1};
constexpr int kLambdaLimit = 80, kSpeedLimit = 80;

// Pixel columns from `left` up to `right` (exclusive) painted white in every band.
void BandStrip(Canvas& canvas, const Frame& f, int left, int right) {
  for (const Chart& chart : kCharts)
    canvas.Rectangle({colour::White, 1}, {colour::White},
                {left, f.Y(chart.bandTop), right, f.Y(chart.bandBottom)});
}

// A one-pixel column in every band.
void BandLine(Canvas& canvas, const Frame& f, const Pen& pen, int x) {
  for (const Chart& chart : kCharts)
    canvas.Line(pen, {x, f.Y(chart.bandTop)}, {x, f.Y(chart.bandBottom)});
}

void DrawCharts(Canvas& canvas, const Frame& f) {
  for (const Chart& chart : kCharts)
    canvas.Rectangle({colour::Black, 1}, {colour::White},
                f.R(kChartLeft, chart.top, kChartRight, chart.bottom));
}

// The lambda range label, always 14 characters so a shorter one covers a longer; none above 5.
std::string LambdaRangeLabel(int probeType) {
  static const char* const kLabels[6] = {"0 - 1 V",      "0 - 5 V  '-'", "0 - 5 V  '+'",
                                         "5 - 0 V  '-'", "5 - 0 V  '+'", "0,8 - 1,6 V"};
  if (probeType < 0 || probeType > 5) return {};
  std::string label = kLabels[probeType];
  label.resize(14, ' ');
  return label;
}

void Label(Canvas& canvas, const Frame& f, FontKind font, int x, int y, std::string_view text,
           Rgb colour = colour::Black) {
  if (text.empty()) return;
  canvas.Text(font, colour, canvas.ButtonFace(), f.P(x, y), {}, text);
}

void Value(Canvas& canvas, const Frame& f, int x, int y, std::string_view text) {
  canvas.Text(FontKind::Value, colour::Black, colour::White, f.P(x, y), {}, text);
}

void DrawTimeAxis(Canvas& canvas, const Frame& f) {
  for (int i = 0; i <= 8; ++i) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", 2 * i);
    Label(canvas, f, FontKind::Label, 196 + 46 * i, 490, digits);
    Label(canvas, f, FontKind::Label, 203 + 46 * i, 470, ".");
  }
}

// The throttle sensor value and its unit, for the sensor code of `type`.
void DrawThrottle(Canvas& canvas, const Frame& f, const ThrottleReading& throttle,
                  const Rect& unitBlank) {
  switch (throttle.kind) {
    case ThrottleReading::None:
      Value(canvas, f, 630, 400, "_.__");
      return;
    case ThrottleReading::Switch:
      Value(canvas, f, 630, 400, throttle.on ? " ON" : "OFF");
      canvas.Rectangle({colour::White, 1}, {colour::White}, f.R(unitBlank.left, unitBlank.top,
                                                            unitBlank.right, unitBlank.bottom));
      return;
    case ThrottleReading::Volts:
      Value(canvas, f, 630, 400, VoltsText(Volts(throttle.volts)));
      Label(canvas, f, FontKind::Value, 700, 400, "V");
      return;
  }
}

void DrawFuelState(Program& p, Canvas& canvas, const Frame& f, std::uint8_t switches) {
  const bool gas = Has(switches, bits::switches::OnGas);
  const Rgb fill = gas ? colour::Cyan : colour::Green;
  canvas.Rectangle({colour::Black, 1}, {fill}, f.R(630, 465, 755, 505));
  canvas.Text(FontKind::Label, colour::Black, fill, f.P(gas ? 675 : 655, 475), {},
         p.texts[gas ? 15 : 14]);
}

// The four values of a sample in the places of the value display; `unitBlank` is the area
// cleared of the "V" when a throttle switch is shown.
void DrawValues(Program& p, Canvas& canvas, const OscilloscopeSample& v, long speed,
                const Rect& unitBlank) {
  const Frame f = FrameOf(p);
  const std::uint8_t type = Get(p.link.image, Param::LambdaType);
  const auto lambda = static_cast<std::uint8_t>(v.lambda);
  Value(canvas, f, 630, 70, VoltsText(Volts(LambdaVolts(type, lambda))));
  Value(canvas, f, 630, 180, DigitsText(v.actuator, 3));
  Value(canvas, f, 630, 290, DigitsText(speed, 4));
  p.shared.engineSpeed = speed;
  DrawThrottle(canvas, f,
               DecodeThrottle(v.type, static_cast<std::uint8_t>(v.throttle), v.throttleSwitch != 0),
               unitBlank);
  DrawFuelState(p, canvas, f, v.fuelState);
}

// Redraw point i of a trace, with i kept inside the table.
Point RedrawPoint(const OscilloscopeState& s, int trace, int i) {
  i = std::clamp(i, 0, kHistoryLength - 1);
  return s.redraw[static_cast<std::size_t>(trace)][static_cast<std::size_t>(i)];
}

}  // namespace

OscilloscopeSample CurrentSample(const MemoryImage& image) {
  OscilloscopeSample s;
  s.lambda = Get(image, bytes::Lambda);
  s.actuator = Get(image, bytes::Actuator);
  s.attInit = Get(image, Param::AttInit);
  s.speed = EngineSpeed(image);
  s.throttle = Get(image, bytes::Tps);
  s.type = Get(image, Param::LambdaType);
  s.throttleSwitch = ThrottleSwitchOpen(Get(image, bytes::Status));
  s.fuelState = Get(image, bytes::Switches);
  return s;
}

std::array<int, kTraceCount> TraceDeflections(const OscilloscopeSample& s) {
  int lambda = s.lambda * 15 / 10;
  if (LambdaProbeType(s.type) != 0) lambda /= 5;
  const int throttle = ThrottleTraceInverted(s.type) ? 255 - s.throttle : s.throttle;
  return {std::min(lambda, kLambdaLimit), s.actuator / 3, s.attInit / 3,
          static_cast<int>(std::min(s.speed / 100, static_cast<long>(kSpeedLimit))),
          static_cast<int>(RoundHalfDown(throttle / 3.1))};
}

void ResetOscilloscopeHistory(OscilloscopeState& s) {
  s.history.fill({});
  s.redraw = BaselineRedrawPoints();
}

void EnterOscilloscope(Program& p, Canvas& canvas, Controls& ui) {
  ResetOscilloscopeHistory(p.oscilloscope);
  OscilloscopeSetUp(p, canvas, ui);
  OscilloscopeFrameRedraw(p, canvas);
  p.oscilloscope.samplePos = kFirstSamplePos;
}

void OscilloscopeSetUp(Program& p, Canvas& canvas, Controls& ui) {
  const OscilloscopeState& s = p.oscilloscope;
  ui.SetText(kCursorCheckBox, p.texts[142]);
  ReadBlock(p.link, 3);  // the probe type and sensor code the labels name
  DrawCharts(canvas, FrameOf(p));
  DrawOscilloscopeLabels(p, canvas);
  ui.SetCheck(kCursorCheckBox, s.cursorMode);
  ui.Show(kCursorScrollBar, s.cursorMode);
  ui.SetRange(kCursorScrollBar, kCursorFirst, kCursorLast);
}

void DrawOscilloscopeLabels(Program& p, Canvas& canvas) {
  const Frame f = FrameOf(p);
  const auto& t = p.texts;
  const std::uint8_t type = Get(p.link.image, Param::LambdaType);
  constexpr FontKind L = FontKind::Label;
  Label(canvas, f, L, 50, 60, t[143], colour::Olive);
  Label(canvas, f, L, 50, 90, LambdaRangeLabel(LambdaProbeType(type)));
  Label(canvas, f, L, 50, 420, t[kTpsSensorFirstText + TpsSensorItem(TpsCode(type))]);
  Label(canvas, f, L, 50, 190, t[145]);
  Label(canvas, f, L, 50, 320, t[148]);
  Label(canvas, f, FontKind::Value, 700, 70, t[151]);
  Label(canvas, f, L, 710, 190, t[152]);
  Label(canvas, f, L, 710, 300, t[153]);
  Label(canvas, f, L, 50, 170, t[144], colour::Green);
  Label(canvas, f, L, 50, 210, t[146], colour::DarkGreen);
  Label(canvas, f, L, 50, 300, t[147], colour::Blue);
  Label(canvas, f, L, 50, 400, t[149], colour::Navy);
  Label(canvas, f, L, 130, 490, t[150]);
  DrawTimeAxis(canvas, f);
}

void OscilloscopeFrameRedraw(Program& p, Canvas& canvas) {
  const Frame f = FrameOf(p);
  OscilloscopeState& s = p.oscilloscope;
  DrawCharts(canvas, f);
  std::vector<Point> points(kCursorLast + 1);
  for (int trace : kRepaintOrder) {
    auto& redraw = s.redraw[static_cast<std::size_t>(trace)];
    redraw[0] = redraw[1] = redraw[2] = redraw[3];
    for (std::size_t i = 0; i < points.size(); ++i) points[i] = f.P(redraw[i]);
    canvas.Polyline(kTracePens[static_cast<std::size_t>(trace)], points);
  }
}

void OscilloscopePanelPaint(Program& p, Canvas& canvas, Controls& ui, bool exposed) {
  OscilloscopeFrameRedraw(p, canvas);
  if (exposed) DrawOscilloscopeLabels(p, canvas);
  PlaceOscilloscopeControls(p, ui);
}

void PlaceOscilloscopeControls(const Program& p, Controls& ui) {
  struct Placement {
    int x, y, width, height;
  };
  // Pixels per screen size, not scaled; at 800x600 the check box keeps its template place.
  static constexpr Placement kScrollBars[5] = {
      {137, 0, 364, 20}, {180, 0, 440, 25}, {235, 0, 548, 30}, {300, 10, 677, 40},
      {300, 15, 677, 45}};
  static constexpr Placement kCheckBoxes[5] = {
      {490, 20, 550, 40}, {0, 0, 0, 0}, {800, 0, 900, 25}, {1000, 0, 1100, 45},
      {1000, 0, 1100, 50}};
  const int size = std::clamp(p.shell.screenSize, 1, 5);
  const Placement& bar = kScrollBars[size - 1];
  ui.Move(kCursorScrollBar, bar.x, bar.y, bar.width, bar.height);
  if (size == 2) return;
  const Placement& box = kCheckBoxes[size - 1];
  ui.Move(kCursorCheckBox, box.x, box.y, box.width, box.height);
}

bool OscilloscopeTick(Program& p, Canvas& canvas, Controls& ui) {
  OscilloscopeState& s = p.oscilloscope;
  if (s.cursorMode) {
    OscilloscopeCursorView(p, canvas, ui);  // nothing goes on the line
    SetPollPeriod(p.link, kOscilloscopePollPeriod);
    return PollTick(p, TickGate::SkipPoll, BlockSet{}, [] {});
  }
  bool readable = false;
  const auto blocks = [&] {
    readable = true;
    if (s.block3Flag != 0) return Blocks({2});
    ++s.block3Flag;  // Block 3 once after coming online
    return Blocks({2, 3});
  };
  return PollTick(p, TickGate::Poll, blocks, [&] {
    if (!readable) s.block3Flag = 0;
    if (!p.link.offline) OscilloscopeSampleStep(p, canvas);
    OscilloscopeValueDisplay(p, canvas, ui);
    SetPollPeriod(p.link, kOscilloscopePollPeriod);
  });
}

void OscilloscopeSampleStep(Program& p, Canvas& canvas) {
  const Frame f = FrameOf(p);
  OscilloscopeState& s = p.oscilloscope;
  const int q = p.shell.screenSize == 1 ? 1 : 0;  // 640x480 shifts the erasing by a pixel
  const int pos = ++s.samplePos;
  if (pos > 203) BandStrip(canvas, f, q ? f.X(198) + 1 : f.X(199), f.X(204));
  BandLine(canvas, f, kSweepPen, f.X(pos + 2));
  BandStrip(canvas, f, f.X(pos + q), f.X(pos + 2));

  const OscilloscopeSample sample = CurrentSample(p.link.image);
  const auto deflections = TraceDeflections(sample);
  for (std::size_t t = 0; t < kTraceCount; ++t) {
    const int y = kTraceBaselines[t] - deflections[t];
    const int from = pos == 203 ? y : s.previousY[t];  // each sweep's first segment is flat
    canvas.Line(kTracePens[t], f.P(pos - 1, from), f.P(pos, y));
    s.previousY[t] = y;
    s.redraw[t][static_cast<std::size_t>(pos - 200)].y = y;
  }
  if (pos > 595) {  // the sweep wraps: clear the last sweep line and the left edge
    s.samplePos = 201;
    BandStrip(canvas, f, f.X(598), f.X(599));
    BandStrip(canvas, f, f.X(199) + q, f.X(203));
  }
  s.history[static_cast<std::size_t>(pos - 200)] = sample;
}

void OscilloscopeValueDisplay(Program& p, Canvas& canvas, Controls& ui) {
  const OscilloscopeSample now = CurrentSample(p.link.image);
  DrawValues(p, canvas, now, now.speed, {676, 400, 698, 436});
  ui.Show(kCursorScrollBar, p.oscilloscope.cursorMode);
}

void OscilloscopeCursorView(Program& p, Canvas& canvas, Controls& ui) {
  const Frame f = FrameOf(p);
  OscilloscopeState& s = p.oscilloscope;
  // The bar keeps its position within its range; a stray value must not index past the history.
  s.cursorPos = std::clamp(ui.Position(kCursorScrollBar), kCursorFirst, kCursorLast);
  BandLine(canvas, f, kCursorPen, f.X(201 + s.cursorPos));
  if (s.lastCursorPos != s.cursorPos) {
    const int last = s.lastCursorPos;
    BandLine(canvas, f, kErasePen, f.X(201 + last));
    for (int trace : kRepaintOrder)  // mend the traces the old line crossed
      canvas.Polyline(kTracePens[static_cast<std::size_t>(trace)],
                 {f.P(RedrawPoint(s, trace, last - 1)), f.P(RedrawPoint(s, trace, last)),
                  f.P(RedrawPoint(s, trace, last + 1))});
    s.lastCursorPos = s.cursorPos;
  }
  BandLine(canvas, f, kSweepPen, f.X(s.samplePos + 2));
  const OscilloscopeSample& stored = s.history[static_cast<std::size_t>(s.cursorPos)];
  const long speed = HighByte(static_cast<unsigned long>(stored.speed)) == 255 ? 0 : stored.speed;
  DrawValues(p, canvas, stored, speed, {686, 400, 695, 436});
}

void CursorBoxClicked(Program& p, Canvas& canvas, Controls& ui) {
  p.oscilloscope.cursorMode = ui.IsChecked(kCursorCheckBox);
  ui.Show(kCursorScrollBar, p.oscilloscope.cursorMode);
  OscilloscopeFrameRedraw(p, canvas);
}

void CursorScrolled(Program& p, Controls& ui, int request, int thumb) {
  int& pos = p.oscilloscope.cursorPos;
  switch (request) {  // on this horizontal bar "down" is right
    case ScrollThumbTrack: pos = static_cast<short>(thumb); break;
    case ScrollPageDown: pos = std::min(pos + 10, kCursorLast); break;
    case ScrollPageUp: pos = std::max(pos - 10, kCursorFirst); break;
    case ScrollLineDown: pos = std::min(pos + 1, kCursorLast); break;
    case ScrollLineUp: pos = std::max(pos - 1, kCursorFirst); break;
    default: break;
  }
  ui.SetPosition(kCursorScrollBar, pos);
}

}  // namespace kv
