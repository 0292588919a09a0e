// Options state that outlives the gas level sensor dialog's messages.
#pragma once

#include <array>

namespace kv {

struct OptionsState {
  // The gas level sensor dialog's switching points Prog1..Prog4 as the scroll bars hold them:
  // loaded from the image at every tick that is not suspended, moved by the bars in between.
  std::array<int, 4> gasPoints{};
  int lastGasLevel = 0;   // Block 5 byte 5 bits 2..0 as last read
  bool dragging = false;  // from a bar's first scroll code to its end-of-scroll: no polling
};

}  // namespace kv
