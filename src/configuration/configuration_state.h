// Configuration state that outlives the panel and the emulation construction dialog.
#pragma once

namespace kv {

struct ConfigurationState {
  // The lambda probe type the lambda point list was built for; a re-created panel fills the
  // list for the last type seen, and picks in it use this type's offset until the next refresh.
  int cachedLambdaType = 0;
  // The emulation construction dialog redraws its wave only when H or L change or after a paint.
  int emulationLastHigh = 0;
  int emulationLastLow = 0;
  bool emulationRedraw = false;
};

}  // namespace kv
