// All program-wide state, in one object owned by the exe's entry point (and made fresh by tests).
#pragma once

#include <array>
#include <string>

#include "configuration/configuration_state.h"
#include "files/language.h"
#include "files/settings.h"
#include "link/link.h"
#include "options/options_state.h"
#include "oscilloscope/oscilloscope_state.h"
#include "readings/readings_state.h"
#include "resource.h"
#include "schema/schema_state.h"

namespace kv {

enum Panel {
  ReadingsPanel = 1,
  ConfigurationPanel = 2,
  OptionsPanel = 3,
  SchemaPanel = 4,
  ResetPanel = 5,
  OscilloscopePanel = 6,
  InformationDialog = 7,
};

struct ShellState {
  int currentPanel = ReadingsPanel;
  int screenSize = 2;  // 1..5: 640x480, 800x600, 1024x768, 1280x960, 1280x1024
  int windowWidth = 640, windowHeight = 450;
  double scaleX = 1.0, scaleY = 1.0;
  int desktopClass = 2;
  int desktopWidth = 0, desktopHeight = 0;  // the work area: the screen less the taskbar
  int desktopLeft = 0, desktopTop = 0;      // where the work area starts on the screen
  int portItem = CMD_COM1;
  std::array<int, 4> lampBases{140, 214, 288, 362};  // x of the readings panel's throttle lamps
};

// Values the panels share with each other.
struct SharedValues {
  long engineSpeed = 0;      // rpm, written by the readings and oscilloscope panels
  int armedPeriod = 0;       // period the current poll timer was last started with
  bool listOpen = false;     // a drop-down list is open: no poller talks to the controller
  bool subDialogOpen = false;
  bool correctionsOpen = false;
};

struct Program {
  Link link;
  ShellState shell;
  ProgramSettings settings;
  LanguageTexts texts;
  SharedValues shared;
  // Each panel's own program-wide state follows, one line per panel.
  ReadingsState readings;
  ConfigurationState configuration;
  SchemaState schema;
  OscilloscopeState oscilloscope;
  OptionsState options;
};

}  // namespace kv
