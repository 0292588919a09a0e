// Program-wide state of the readings panel and its dial. It lives in the Program, so it keeps its
// values while the panel window is destroyed and created again.
#pragma once

namespace kv {

struct DialState {
  int needleIndex = 0;     // arc index 0..160 where the needle is drawn now
  long lastDialSpeed = 0;  // engine speed when the refresh last redrew the needle
  long lpgOffSpeed = 0;    // LPG-off speed the tick colours were last drawn with
};

struct ReadingsState {
  bool onGas = false;           // the last refresh found the controller on gas
  bool learnActive = false;     // the controller reports learning (Block 2 byte 8 bit 1)
  bool learnRequested = false;  // learn pressed while not learning: the outcome is pending
  unsigned messageAge = 0;      // refreshes since line 5 last showed a learn message
  unsigned blinkCount = 0;
  bool blinkPhase = false;
  bool nonIdleLamp = true;  // TPS lamp 2, 3 or 4 lit
  int lastAttInit = 0;      // AttInit drawn by the previous refresh
  unsigned blockTicks = 0;  // online ticks since Blocks 3 and 4 were last read
  DialState dial;
};

}  // namespace kv
