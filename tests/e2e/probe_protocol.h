// What kv720-driver.exe and kv720-probe.dll share. The probe runs inside KV720.exe as a
// WH_CALLWNDPROC hook: under Wine a menu (and a window's own scroll bars) can only be read by the
// process that owns it, so the driver asks the probe to read them on the program's UI thread.
#pragma once

#include <cstdint>

namespace kv::e2e {

// Registered window message name; wParam carries the driver's process id, which names the
// shared block.
inline constexpr const wchar_t* kProbeMessage = L"KV720.E2E.Probe";
inline constexpr const wchar_t* kProbeBlockPrefix = L"Local\\KV720.E2E.Probe.";

enum ProbeOp : uint32_t {
  kProbeMenuTree = 1,   // every item of the window's menu bar, depth first
  kProbeScrollInfo = 2, // GetScrollInfo(window, bar)
  kProbeCurrentDirectory = 3,  // the program's current directory
  kProbeResources = 4,  // the program's GDI and USER objects, windows and heap blocks
};

// Answer texts are UTF-8 lines; fields are separated by tabs.
//   menu tree:   depth pos id state type has-submenu bitmaps(1 item, 2 checked, 4 unchecked) text
//   scroll info: min max page pos trackpos
//   current directory: the path
//   resources:   a JSON object (see probe_win32.cpp)
struct ProbeBlock {
  uint32_t op;
  int32_t bar;        // SB_HORZ, SB_VERT or SB_CTL for kProbeScrollInfo
  uint64_t window;    // the window the request is about (0: the hooked window itself)
  int32_t status;     // written by the probe: 1 done, negative failed
  uint32_t length;    // bytes of text
  char text[65536 - 32];
};

}  // namespace kv::e2e
