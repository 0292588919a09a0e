#include "configuration/emulation.h"

#include <cstdio>
#include <vector>

#include "configuration/configuration.h"
#include "configuration_ids.h"
#include "link/link.h"
#include "link/parameters.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/canvas.h"
#include "ui/controls.h"
#include "ui/setting_rows.h"

namespace kv {
namespace {

// Chart geometry, in client pixels.
constexpr Rect kChartArea{10, 10, 550, 165};
constexpr int kAxisX = 45, kTimeAxisY = 155;
constexpr int kWaveLeft = 60, kHighY = 45, kLowY = 145, kMaxColumns = 480;
constexpr Pen kAxisPen{colour::Grey, 1};
constexpr Pen kWavePen{colour::Yellow, 1};

// Labels are opaque white on black, each clipped to a cell left of the vertical axis.
void Label(Canvas& canvas, int x, int y, const char* text) {
  canvas.Text(FontKind::Label, colour::White, colour::Black, {x, y}, Rect{x, y, kAxisX - 3, y + 18},
              text);
}

}  // namespace

void FillEmulationLists(Controls& controls) {
  for (long i = 1; i <= 255; ++i) {
    char item[16];
    std::snprintf(item, sizeof item, "%ld,%03ld", i / 40, 25 * (i % 40));
    controls.AddListItem(IDC_EMULDLG_HIGH, item);
    controls.AddListItem(IDC_EMULDLG_LOW, item);
  }
}

void ApplyEmulationTexts(const LanguageTexts& t, Controls& controls) {
  controls.SetText(kDialogOk, t[160]);
  controls.SetText(IDC_EMULDLG_HIGH_LABEL, t[44]);
  controls.SetText(IDC_EMULDLG_LOW_LABEL, t[45]);
  controls.SetText(IDC_EMULDLG_HIGH_UNIT, t[55]);
  controls.SetText(IDC_EMULDLG_LOW_UNIT, t[56]);
}

std::string EmulationCaption(const LanguageTexts& t) { return t[43] + ":   " + t[61]; }

void EmulationPainted(Program& program) { program.configuration.emulationRedraw = true; }

namespace {

// Redraws the wave when H or L changed or a paint asked for it, and follows the lists.
void RefreshEmulation(Program& program, Controls& controls, Canvas& canvas) {
  const MemoryImage& image = program.link.image;
  ConfigurationState& state = program.configuration;
  const int high = Get(image, Param::EmulBJ_TimeHi);
  const int low = Get(image, Param::EmulBJ_TimeLo);
  if (high != state.emulationLastHigh || low != state.emulationLastLow || state.emulationRedraw) {
    state.emulationRedraw = false;
    state.emulationLastHigh = high;
    state.emulationLastLow = low;
    DrawEmulationChart(canvas, LambdaProbeType(Get(image, Param::LambdaType)), high, low);
  }
  Select(controls, IDC_EMULDLG_HIGH, FromOne(static_cast<std::uint8_t>(high)));
  Select(controls, IDC_EMULDLG_LOW, FromOne(static_cast<std::uint8_t>(low)));
}

}  // namespace

bool EmulationTick(Program& program, Controls& controls, Canvas& canvas) {
  // With a list open the tick does nothing at all, not even restart the timer.
  return PollTick(program, IdleWhileListOpen(program.shared), Blocks({3}),
                  [&] { RefreshEmulation(program, controls, canvas); });
}

int EmulationCommand(Program& program, Controls& controls, int id, int code) {
  if (id == kDialogOk || id == kDialogCancel) {
    program.shared.subDialogOpen = false;
    return id;
  }
  if (id != IDC_EMULDLG_HIGH && id != IDC_EMULDLG_LOW) return 0;
  const int index = ListNotification(program.shared, controls, id, code);
  const Param time = id == IDC_EMULDLG_HIGH ? Param::EmulBJ_TimeHi : Param::EmulBJ_TimeLo;
  if (index >= 0) WritePick(program.link, {id, time, Encoding::FromOne}, index);
  return 0;
}

void DrawEmulationChart(Canvas& canvas, int probeType, int high, int low) {
  canvas.Rectangle(Pen{colour::Black, 1}, Brush{colour::Black}, kChartArea);

  canvas.Line(kAxisPen, {kAxisX, kTimeAxisY}, {kAxisX, 20});
  canvas.Polyline(kAxisPen, {{42, 28}, {45, 20}, {48, 29}});

  Label(canvas, 15, 15, "[ V ]");
  if (probeType == 0) {
    Label(canvas, 23, 135, "0");
    Label(canvas, 23, 35, "1");
  } else if (probeType == 5) {
    Label(canvas, 15, 135, "0.8");
    Label(canvas, 15, 35, "1.6");
  } else {
    const char* volts[] = {"0", "1", "2", "3", "4", "5"};
    for (int i = 0; i < 6; ++i) Label(canvas, 23, 135 - 20 * i, volts[i]);
  }

  for (int y = 145; y >= 45; y -= 20) canvas.Line(kAxisPen, {40, y}, {50, y});

  canvas.Line(kAxisPen, {kAxisX, kTimeAxisY}, {540, kTimeAxisY});
  canvas.Polyline(kAxisPen, {{532, 152}, {540, 155}, {531, 158}});

  // Each phase's first column goes straight up or down from the last point, drawing the edge;
  // the others step one column right.
  std::vector<Point> wave{{kWaveLeft, kHighY}};
  int k = 0;
  while (k < kMaxColumns) {
    for (const auto& [columns, y] : {std::pair{high / 2 + 2, kHighY}, std::pair{low / 2 + 2, kLowY}}) {
      for (int column = 0; column < columns && k <= kMaxColumns; ++column, ++k)
        wave.push_back({(column == 0 ? kWaveLeft - 1 : kWaveLeft) + k, y});
    }
  }
  canvas.Polyline(kWavePen, wave);
}

}  // namespace kv
