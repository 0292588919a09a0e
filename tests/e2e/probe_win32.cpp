// kv720-probe.dll: loaded into KV720.exe by the driver's WH_CALLWNDPROC hook. On the registered
// probe message it reads what only the owning process can read under Wine (the menu bar, a
// window's scroll bars) and writes the answer into the driver's shared block.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "probe_protocol.h"

namespace {

using kv::e2e::ProbeBlock;

std::string Utf8(const wchar_t* text) {
  if (!text || !*text) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  for (char& c : out)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return out;
}

void DumpMenu(HMENU menu, int depth, std::string& out) {
  int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    wchar_t text[512] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING | MIIM_BITMAP |
                 MIIM_CHECKMARKS;
    info.dwTypeData = text;
    info.cch = 511;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) continue;
    int bitmaps = (info.hbmpItem ? 1 : 0) | (info.hbmpChecked ? 2 : 0) | (info.hbmpUnchecked ? 4 : 0);
    char line[128];
    std::snprintf(line, sizeof line, "%d\t%d\t%u\t%x\t%x\t%d\t%d\t", depth, pos, info.wID,
                  info.fState, info.fType, info.hSubMenu ? 1 : 0, bitmaps);
    out += line;
    out += Utf8(text);
    out += '\n';
    if (info.hSubMenu) DumpMenu(info.hSubMenu, depth + 1, out);
  }
}

// Wine's GetGuiResources is a stub that answers 0, so GDI objects are also counted in the process's
// GDI handle table (PEB GdiSharedHandleTable, 24-byte entries, type in byte 14, stock flag in the
// top bit of byte 12; Wine keeps one table per process, stock objects included).
int GdiTableObjects() {
  using GetPeb = const char*(WINAPI*)();
  auto getPeb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
  if (!getPeb) return -1;
  const char* peb = getPeb();
  const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
  if (!table) return -1;
  int count = 0;
  for (int i = 0; i < 0x10000; ++i) {
    const unsigned char* entry = table + 24 * i;
    if (entry[14] && !(entry[12] & 0x80)) ++count;
  }
  return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The program's top-level windows and all their descendants (EnumChildWindows goes down the
// whole tree).
BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, &CountChild, count);
  return TRUE;
}

// Busy blocks in one heap.
long long BusyBlocks(HANDLE heap) {
  long long blocks = 0;
  PROCESS_HEAP_ENTRY entry = {};
  HeapLock(heap);
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++blocks;
  HeapUnlock(heap);
  return blocks;
}

// Under Wine the C runtime's malloc (the program's new) has heaps of its own; the process heap
// holds what Wine's DLLs allocate (its common-controls static control never frees the 24 bytes
// it keeps for a font, so that heap grows with every static control a dialog creates).
std::string Resources() {
  int windows = 0;
  EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&windows));
  HANDLE heaps[64];
  const DWORD n = GetProcessHeaps(64, heaps);
  long long own = 0, process = 0;
  for (DWORD h = 0; h < n && h < 64; ++h)
    (heaps[h] == GetProcessHeap() ? process : own) += BusyBlocks(heaps[h]);
  char line[256];
  std::snprintf(line, sizeof line,
                "{\"gdi\":%lu,\"user\":%lu,\"gdi_table\":%d,\"windows\":%d,\"heap_blocks\":%lld,"
                "\"process_heap_blocks\":%lld}",
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), GdiTableObjects(), windows,
                own, process);
  return line;
}

void Answer(ProbeBlock& block, HWND hooked) {
  std::string out;
  HWND window = block.window ? reinterpret_cast<HWND>(block.window) : hooked;
  block.status = 1;
  switch (block.op) {
  case kv::e2e::kProbeMenuTree: {
    HMENU menu = GetMenu(window);
    if (menu) DumpMenu(menu, 0, out);
    else block.status = -2;
    break;
  }
  case kv::e2e::kProbeScrollInfo: {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(window, block.bar, &info)) {
      char line[128];
      std::snprintf(line, sizeof line, "%d\t%d\t%u\t%d\t%d", info.nMin, info.nMax, info.nPage,
                    info.nPos, info.nTrackPos);
      out = line;
    } else {
      block.status = -3;
    }
    break;
  }
  case kv::e2e::kProbeCurrentDirectory: {
    wchar_t path[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, path);
    out = Utf8(path);
    break;
  }
  case kv::e2e::kProbeResources:
    out = Resources();
    break;
  default:
    block.status = -1;
  }
  if (out.size() >= sizeof block.text) out.resize(sizeof block.text - 1);
  std::memcpy(block.text, out.data(), out.size());
  block.text[out.size()] = '\0';
  block.length = static_cast<uint32_t>(out.size());
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probeMessage = RegisterWindowMessageW(kv::e2e::kProbeMessage);
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call && call->message == probeMessage) {
    wchar_t name[96];
    std::swprintf(name, 96, L"%ls%lu", kv::e2e::kProbeBlockPrefix,
                  static_cast<unsigned long>(call->wParam));
    if (HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name)) {
      if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeBlock))) {
        Answer(*static_cast<ProbeBlock*>(view), call->hwnd);
        UnmapViewOfFile(view);
      }
      CloseHandle(mapping);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
