// kv720-driver.exe: runs under Wine beside KV720.exe and acts on it as a user would (menu
// commands, list picks, clicks, keys, scrolling) and reads back what a user would see (captions,
// menu checks and grays, selections, texts, states).
//
// Protocol: one command a line, one answer line a command:
//   OK <json>        the command's result as one JSON value
//   ERR <message>    the command failed; the message is plain text
// With arguments it runs them as commands (";" separates several) and exits 0 when all
// succeeded; without arguments it reads commands from stdin until EOF or "quit", so a test can
// keep one driver open and avoid Wine's start-up time on every call. "help" lists the commands.
//
// Control-addressing commands take an optional target first: @panel (the default: the current
// panel, the main window's child dialog), @main, @modal (the topmost other visible window of the
// program, e.g. a modal dialog or a message box) or @0x<hwnd>.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "probe_protocol.h"

namespace {

using kv::e2e::ProbeBlock;

// ---------------------------------------------------------------------------------------------
// Text and JSON

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string JStr(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      if (c < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      } else {
        out += static_cast<char>(c);
      }
    }
  }
  return out + "\"";
}

std::string JStr(const std::wstring& text) { return JStr(Utf8(text)); }
std::string JBool(bool value) { return value ? "true" : "false"; }
std::string JInt(long long value) { return std::to_string(value); }

std::string JHwnd(HWND window) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "\"0x%llx\"",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return buf;
}

std::string JRect(const RECT& r) {
  return "[" + JInt(r.left) + "," + JInt(r.top) + "," + JInt(r.right) + "," + JInt(r.bottom) + "]";
}

// Builds a JSON object field by field.
struct JObject {
  std::string body;
  JObject& Add(const char* key, const std::string& json) {
    body += body.empty() ? "{" : ",";
    body += JStr(std::string(key)) + ":" + json;
    return *this;
  }
  std::string Str() const { return body.empty() ? "{}" : body + "}"; }
};

std::string JArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
  return out + "]";
}

// ---------------------------------------------------------------------------------------------
// Replies and arguments

struct Reply {
  bool ok;
  std::string body;
};
Reply Ok(const std::string& json) { return {true, json}; }
Reply Err(const std::string& message) { return {false, message}; }

bool ParseInt(const std::string& word, long long& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(word.c_str(), &end, 0);
  return end && *end == '\0';
}

struct Args {
  std::string line;
  std::vector<std::string> words;
  std::vector<size_t> starts;  // offset of each word in line
  size_t next = 1;             // words[0] is the command

  bool More() const { return next < words.size(); }
  std::string Peek() const { return More() ? words[next] : std::string(); }
  std::string Word() { return More() ? words[next++] : std::string(); }
  bool Int(long long& value) { return More() && ParseInt(words[next], value) && (++next, true); }
  long long IntOr(long long fallback) {
    long long value;
    return Int(value) ? value : fallback;
  }
  std::string Rest() {  // everything after the current word, as typed
    if (!More()) return {};
    std::string rest = line.substr(starts[next]);
    next = words.size();
    return rest;
  }
};

Args Split(const std::string& line) {
  Args args;
  args.line = line;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    args.words.push_back(line.substr(start, i - start));
    args.starts.push_back(start);
  }
  return args;
}

// ---------------------------------------------------------------------------------------------
// Window helpers

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 255);
  return name;
}

std::string ClassName(HWND window) { return Utf8(ClassOf(window)); }

// WM_GETTEXT is marshalled across processes (GetWindowText would not ask a foreign control);
// when the program's thread is busy, the text the window manager keeps is the fallback.
std::wstring TextOf(HWND window, DWORD timeout) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeout, &length)) {
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                            SMTO_NORMAL, timeout, &got)) {
      text.resize(got);
      return text;
    }
  }
  wchar_t buf[1024] = {};
  InternalGetWindowText(window, buf, 1023);
  return buf;
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindChildById(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Direct child first (GetDlgItem), then any descendant.
HWND FindControl(HWND parent, int id) {
  if (HWND direct = GetDlgItem(parent, id)) return direct;
  ChildSearch search = {id, nullptr};
  EnumChildWindows(parent, FindChildById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsClass(HWND window, const wchar_t* name) {
  return lstrcmpiW(ClassOf(window).c_str(), name) == 0;
}

bool IsCombo(HWND window) { return IsClass(window, L"ComboBox"); }
bool IsListBox(HWND window) { return IsClass(window, L"ListBox"); }

int ParseScrollCode(const std::string& word) {
  static const struct {
    const char* name;
    int code;
  } codes[] = {{"lineup", SB_LINEUP},       {"lineleft", SB_LINELEFT},
               {"linedown", SB_LINEDOWN},   {"lineright", SB_LINERIGHT},
               {"pageup", SB_PAGEUP},       {"pageleft", SB_PAGELEFT},
               {"pagedown", SB_PAGEDOWN},   {"pageright", SB_PAGERIGHT},
               {"thumbposition", SB_THUMBPOSITION}, {"thumbtrack", SB_THUMBTRACK},
               {"top", SB_TOP},             {"left", SB_LEFT},
               {"bottom", SB_BOTTOM},       {"right", SB_RIGHT},
               {"endscroll", SB_ENDSCROLL}};
  for (const auto& c : codes)
    if (word == c.name) return c.code;
  long long value;
  return ParseInt(word, value) ? static_cast<int>(value) : -1;
}

int ParseKey(const std::string& word) {
  static const struct {
    const char* name;
    int vk;
  } keys[] = {{"esc", VK_ESCAPE},    {"escape", VK_ESCAPE}, {"enter", VK_RETURN},
              {"return", VK_RETURN}, {"tab", VK_TAB},       {"space", VK_SPACE},
              {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},
              {"right", VK_RIGHT},   {"home", VK_HOME},     {"end", VK_END},
              {"pgup", VK_PRIOR},    {"pgdn", VK_NEXT},     {"delete", VK_DELETE},
              {"del", VK_DELETE},    {"backspace", VK_BACK}, {"alt", VK_MENU},
              {"menu", VK_MENU},     {"ctrl", VK_CONTROL},  {"control", VK_CONTROL},
              {"shift", VK_SHIFT},   {"slash", VK_OEM_2}};
  for (const auto& k : keys)
    if (_stricmp(word.c_str(), k.name) == 0) return k.vk;
  if ((word[0] == 'f' || word[0] == 'F') && word.size() > 1) {
    long long n;
    if (ParseInt(word.substr(1), n) && n >= 1 && n <= 24) return VK_F1 + static_cast<int>(n) - 1;
  }
  if (word.size() == 1) {
    char c = word[0];
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  }
  long long value;
  return ParseInt(word, value) ? static_cast<int>(value) : -1;
}

LPARAM KeyLParam(int vk, bool up, bool alt) {
  UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  LPARAM lp = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (alt) lp |= 1 << 29;
  if (up) lp |= (1u << 30) | (1u << 31);
  return lp;
}

// ---------------------------------------------------------------------------------------------
// The driver

struct MenuItem {
  int depth, pos;
  unsigned id, state, type;
  bool popup;
  int bitmaps;
  std::string text, path;
};

class Driver {
 public:
  Driver() {
    probeMessage_ = RegisterWindowMessageW(kv::e2e::kProbeMessage);
    wchar_t name[96];
    std::swprintf(name, 96, L"%ls%lu", kv::e2e::kProbeBlockPrefix, GetCurrentProcessId());
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(ProbeBlock), name);
    if (mapping_)
      block_ = static_cast<ProbeBlock*>(
          MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeBlock)));
  }

  Reply Run(const std::string& line);

 private:
  using Handler = Reply (Driver::*)(Args&);
  struct Command {
    const char* name;
    Handler handler;
    const char* usage;
  };
  static const Command kCommands[];

  // Finds the main window without waiting; remembers its process for the exit code.
  bool Attach() {
    if (main_ && IsWindow(main_)) return true;
    HWND found = FindWindowW(mainClass_.c_str(), nullptr);
    if (!found) return false;
    if (found != main_) {
      main_ = found;
      DWORD pid = 0;
      tid_ = GetWindowThreadProcessId(found, &pid);
      if (pid != pid_) {
        if (process_) CloseHandle(process_);
        pid_ = pid;
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
      }
      if (hook_) UnhookWindowsHookEx(hook_);
      hook_ = nullptr;
    }
    return true;
  }

  // The panel is the main window's child dialog; a hidden one is still reported (its info says
  // so) rather than nothing, and any other child only when there is no dialog.
  HWND Panel() {
    if (!Attach()) return nullptr;
    HWND hidden = nullptr, other = nullptr;
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      bool dialog = IsClass(child, L"#32770");
      if (dialog && IsWindowVisible(child)) return child;
      if (dialog && !hidden) hidden = child;
      if (!dialog && !other) other = child;
    }
    return hidden ? hidden : other;
  }

  struct ModalSearch {
    DWORD pid;
    HWND main, found;
  };
  static BOOL CALLBACK FindModal(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ModalSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && window != search->main && IsWindowVisible(window)) {
      search->found = window;  // EnumWindows goes top of the z-order first
      return FALSE;
    }
    return TRUE;
  }

  HWND Modal() {
    if (!pid_ && !Attach()) return nullptr;
    ModalSearch search = {pid_, main_, nullptr};
    EnumWindows(FindModal, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Reads an optional @target; answers the window or sets an error.
  HWND Target(Args& args, std::string& error) {
    std::string word = args.Peek();
    std::string name = "panel";
    if (!word.empty() && word[0] == '@') {
      args.next++;
      name = word.substr(1);
    }
    HWND window = nullptr;
    if (name == "panel") {
      window = Panel();
    } else if (name == "main") {
      window = Attach() ? main_ : nullptr;
    } else if (name == "modal") {
      window = Modal();
    } else {
      long long value;
      if (ParseInt(name, value)) window = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
      if (window && !IsWindow(window)) window = nullptr;
    }
    if (!window) error = "no window for @" + name;
    return window;
  }

  // Target then a control id.
  HWND Control(Args& args, std::string& error) {
    HWND parent = Target(args, error);
    if (!parent) return nullptr;
    long long id;
    if (!args.Int(id)) {
      error = "expected a control id";
      return nullptr;
    }
    HWND control = FindControl(parent, static_cast<int>(id));
    if (!control) error = "no control " + std::to_string(id);
    return control;
  }

  // Sends the message that makes the program act, or posts it after "nowait". A send that
  // times out is still delivered: the program is busy with it (e.g. inside a modal dialog).
  std::string Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (nowait_) {
      BOOL posted = PostMessageW(window, message, wParam, lParam);
      return JObject().Add("done", "false").Add("posted", JBool(posted)).Str();
    }
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, sendTimeout_, &result))
      return JObject().Add("done", "true").Add("result", JInt(static_cast<long long>(result))).Str();
    return JObject().Add("done", "false").Add("pending", "true").Str();
  }

  std::string WindowInfo(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return JObject()
        .Add("hwnd", JHwnd(window))
        .Add("id", JInt(GetDlgCtrlID(window)))
        .Add("class", JStr(ClassName(window)))
        .Add("text", JStr(TextOf(window, sendTimeout_)))
        .Add("visible", JBool(IsWindowVisible(window)))
        .Add("enabled", JBool(IsWindowEnabled(window)))
        .Add("rect", JRect(rect))
        .Add("style", JInt(static_cast<long long>(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)))))
        .Str();
  }

  bool Probe(uint32_t op, HWND window, int bar, std::string& text, std::string& error) {
    if (!Attach()) return error = "no main window", false;
    if (!block_) return error = "no shared block", false;
    if (!hook_) {
      if (!probe_) {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dir(path, n);
        dir.resize(dir.find_last_of(L"\\/") + 1);
        probe_ = LoadLibraryW((dir + L"kv720-probe.dll").c_str());
        if (!probe_) return error = "kv720-probe.dll not found beside the driver", false;
      }
      auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe_, "ProbeHook")));
      hook_ = proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, probe_, tid_) : nullptr;
      if (!hook_) return error = "cannot hook the program's thread", false;
    }
    std::memset(block_, 0, offsetof(ProbeBlock, text));
    block_->op = op;
    block_->bar = bar;
    block_->window = reinterpret_cast<uintptr_t>(window);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main_, probeMessage_, GetCurrentProcessId(), 0, SMTO_NORMAL,
                             sendTimeout_, &result))
      return error = "the program did not answer the probe", false;
    if (block_->status != 1)
      return error = "probe failed (" + std::to_string(block_->status) + ")", false;
    text.assign(block_->text, block_->length);
    return true;
  }

  bool MenuTree(std::vector<MenuItem>& items, std::string& error) {
    std::string text;
    if (!Probe(kv::e2e::kProbeMenuTree, nullptr, 0, text, error)) return false;
    std::vector<std::string> parents;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(at, end - at);
      at = end + 1;
      std::vector<std::string> f;
      size_t s = 0;
      for (int i = 0; i < 7; ++i) {
        size_t tab = line.find('\t', s);
        f.push_back(line.substr(s, tab - s));
        s = tab == std::string::npos ? line.size() : tab + 1;
      }
      f.push_back(line.substr(s));
      MenuItem item;
      item.depth = std::atoi(f[0].c_str());
      item.pos = std::atoi(f[1].c_str());
      item.id = static_cast<unsigned>(std::strtoul(f[2].c_str(), nullptr, 10));
      item.state = static_cast<unsigned>(std::strtoul(f[3].c_str(), nullptr, 16));
      item.type = static_cast<unsigned>(std::strtoul(f[4].c_str(), nullptr, 16));
      item.popup = f[5] == "1";
      item.bitmaps = std::atoi(f[6].c_str());
      item.text = f[7];
      parents.resize(static_cast<size_t>(item.depth));
      for (const auto& p : parents) item.path += p + "/";
      item.path += item.text;
      parents.push_back(item.text);
      items.push_back(item);
    }
    return true;
  }

  static std::string MenuItemJson(const MenuItem& item) {
    return JObject()
        .Add("present", "true")
        .Add("id", JInt(item.id))
        .Add("text", JStr(item.text))
        .Add("path", JStr(item.path))
        .Add("checked", JBool(item.state & MFS_CHECKED))
        .Add("grayed", JBool(item.state & MF_GRAYED))
        .Add("disabled", JBool(item.state & (MF_GRAYED | MF_DISABLED)))
        .Add("hilite", JBool(item.state & MFS_HILITE))
        .Add("popup", JBool(item.popup))
        .Add("separator", JBool(item.type & MFT_SEPARATOR))
        .Add("bitmap", JBool(item.bitmaps != 0))
        .Add("depth", JInt(item.depth))
        .Add("pos", JInt(item.pos))
        .Str();
  }

  // Commands ----------------------------------------------------------------------------------

  Reply Help(Args&) {
    std::vector<std::string> lines;
    for (const Command* c = kCommands; c->name; ++c)
      lines.push_back(JStr(std::string(c->name) + (c->usage[0] ? " " : "") + c->usage));
    return Ok(JArray(lines));
  }

  Reply WaitMain(Args& args) {
    long long ms = args.IntOr(10000);
    if (args.More()) mainClass_ = Wide(args.Rest());
    DWORD start = GetTickCount();
    for (;;) {
      if (Attach() && IsWindowVisible(main_)) break;
      if (GetTickCount() - start >= static_cast<DWORD>(ms)) return Err("no main window after " + std::to_string(ms) + " ms");
      Sleep(50);
    }
    return Ok(JObject().Add("hwnd", JHwnd(main_)).Add("pid", JInt(pid_)).Add("class", JStr(ClassName(main_))).Str());
  }

  Reply MainInfo(Args&) {
    if (!Attach()) return Err("no main window");
    return Ok(JObject()
                  .Add("hwnd", JHwnd(main_))
                  .Add("pid", JInt(pid_))
                  .Add("class", JStr(ClassName(main_)))
                  .Add("caption", JStr(TextOf(main_, sendTimeout_)))
                  .Add("visible", JBool(IsWindowVisible(main_)))
                  .Add("enabled", JBool(IsWindowEnabled(main_)))
                  .Add("iconic", JBool(IsIconic(main_)))
                  .Add("style", JInt(static_cast<DWORD>(GetWindowLongW(main_, GWL_STYLE))))
                  .Str());
  }

  Reply Caption(Args&) {
    if (!Attach()) return Err("no main window");
    return Ok(JStr(TextOf(main_, sendTimeout_)));
  }

  Reply Rect(Args&) {
    if (!Attach()) return Err("no main window");
    RECT r;
    GetWindowRect(main_, &r);
    return Ok(JRect(r));
  }

  Reply Client(Args&) {
    if (!Attach()) return Err("no main window");
    RECT r;
    GetClientRect(main_, &r);
    MapWindowPoints(main_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return Ok(JRect(r));
  }

  Reply Desktop(Args&) {
    RECT r;
    GetWindowRect(GetDesktopWindow(), &r);
    return Ok(JRect(r));
  }

  Reply PanelInfo(Args&) {
    HWND panel = Panel();
    if (!panel) return Err(main_ ? "no panel" : "no main window");
    return Ok(WindowInfo(panel));
  }

  Reply Win(Args& args) {
    std::string error;
    HWND window = Target(args, error);
    return window ? Ok(WindowInfo(window)) : Err(error);
  }

  Reply Controls(Args& args) {
    std::string error;
    HWND parent = Target(args, error);
    if (!parent) return Err(error);
    std::vector<std::string> items;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      items.push_back(WindowInfo(child));
    return Ok(JArray(items));
  }

  Reply Ctl(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    return control ? Ok(WindowInfo(control)) : Err(error);
  }

  Reply Text(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    return control ? Ok(JStr(TextOf(control, sendTimeout_))) : Err(error);
  }

  Reply Enabled(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    return control ? Ok(JBool(IsWindowEnabled(control))) : Err(error);
  }

  Reply Visible(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    return control ? Ok(JBool(IsWindowVisible(control))) : Err(error);
  }

  Reply Check(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, sendTimeout_, &state))
      return Err("the program did not answer");
    return Ok(JInt(static_cast<long long>(state)));
  }

  bool ListQuery(HWND control, UINT comboMessage, UINT listMessage, WPARAM wParam, LPARAM lParam,
                 LRESULT& result) {
    UINT message = IsListBox(control) ? listMessage : comboMessage;
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(control, message, wParam, lParam, SMTO_NORMAL, sendTimeout_, &value))
      return false;
    result = static_cast<LRESULT>(value);
    return true;
  }

  Reply Sel(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    LRESULT sel;
    if (!ListQuery(control, CB_GETCURSEL, LB_GETCURSEL, 0, 0, sel)) return Err("the program did not answer");
    return Ok(JInt(static_cast<int>(sel)));
  }

  Reply Count(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    LRESULT count;
    if (!ListQuery(control, CB_GETCOUNT, LB_GETCOUNT, 0, 0, count)) return Err("the program did not answer");
    return Ok(JInt(static_cast<int>(count)));
  }

  Reply Items(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    LRESULT count;
    if (!ListQuery(control, CB_GETCOUNT, LB_GETCOUNT, 0, 0, count)) return Err("the program did not answer");
    std::vector<std::string> items;
    for (int i = 0; i < static_cast<int>(count); ++i) {
      LRESULT length;
      if (!ListQuery(control, CB_GETLBTEXTLEN, LB_GETTEXTLEN, i, 0, length) || length < 0)
        return Err("cannot read item " + std::to_string(i));
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      LRESULT got;
      if (!ListQuery(control, CB_GETLBTEXT, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), got))
        return Err("cannot read item " + std::to_string(i));
      text.resize(got > 0 ? static_cast<size_t>(got) : 0);
      items.push_back(JStr(text));
    }
    return Ok(JArray(items));
  }

  Reply Pick(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    long long index;
    if (!args.Int(index)) return Err("expected an item index");
    bool full = args.Word() == "full";
    bool list = IsListBox(control);
    if (!list && !IsCombo(control)) return Err("control is a " + ClassName(control) + ", not a list");
    HWND parent = GetParent(control);
    WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(control));
    auto notify = [&](WORD code) {
      return SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control),
                                 SMTO_NORMAL, sendTimeout_, nullptr);
    };
    if (full && !list) notify(CBN_DROPDOWN);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                        SMTO_NORMAL, sendTimeout_, &result);
    if (full && !list) {
      notify(CBN_SELCHANGE);
      notify(CBN_CLOSEUP);
      return Ok(Deliver(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(control)));
    }
    return Ok(Deliver(parent, WM_COMMAND, MAKEWPARAM(id, list ? LBN_SELCHANGE : CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(control)));
  }

  Reply Click(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    return Ok(Deliver(control, BM_CLICK, 0, 0));
  }

  Reply SetText(Args& args) {
    std::string error;
    HWND control = Control(args, error);
    if (!control) return Err(error);
    std::wstring text = Wide(args.Rest());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             sendTimeout_, &result))
      return Err("the program did not answer");
    return Ok(JBool(result != 0));
  }

  Reply Scroll(Args& args) {
    std::string error;
    HWND target = Target(args, error);
    if (!target) return Err(error);
    std::string dir = args.Word();
    if (dir != "h" && dir != "v") return Err("expected h or v");
    long long id;
    if (!args.Int(id)) return Err("expected a scroll bar control id, or 0 for the window's own bar");
    HWND bar = nullptr;
    if (id != 0 && !(bar = FindControl(target, static_cast<int>(id)))) return Err("no control " + std::to_string(id));
    int code = ParseScrollCode(args.Word());
    if (code < 0) return Err("unknown scroll code");
    long long pos = args.IntOr(0);
    // A scroll bar control notifies its parent; the window's own bars notify the window.
    HWND receiver = bar ? GetParent(bar) : target;
    return Ok(Deliver(receiver, dir == "h" ? WM_HSCROLL : WM_VSCROLL,
                      MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(bar)));
  }

  Reply ScrollInfo(Args& args) {
    std::string error;
    HWND window = Target(args, error);
    if (!window) return Err(error);
    std::string which = args.Word();
    int bar;
    if (which == "h") {
      bar = SB_HORZ;
    } else if (which == "v") {
      bar = SB_VERT;
    } else {
      long long id;
      if (!ParseInt(which, id)) return Err("expected h, v or a scroll bar control id");
      window = FindControl(window, static_cast<int>(id));
      if (!window) return Err("no control " + which);
      bar = SB_CTL;
    }
    std::string text;
    if (!Probe(kv::e2e::kProbeScrollInfo, window, bar, text, error)) return Err(error);
    int min = 0, max = 0, pos = 0, track = 0;
    unsigned page = 0;
    std::sscanf(text.c_str(), "%d\t%d\t%u\t%d\t%d", &min, &max, &page, &pos, &track);
    return Ok(JObject().Add("min", JInt(min)).Add("max", JInt(max)).Add("page", JInt(page))
                  .Add("pos", JInt(pos)).Add("track", JInt(track)).Str());
  }

  // Holds a file as another program may (a scanner, an editor): open, shared with nobody, until
  // "release". Needs no main window.
  Reply Hold(Args& args) {
    const std::wstring path = Wide(args.Rest());
    if (path.empty()) return Err("expected a path");
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    held_ = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held_ == INVALID_HANDLE_VALUE) return Err("cannot open " + args.Rest());
    return Ok("true");
  }

  Reply Release(Args&) {
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
    return Ok("true");
  }

  Reply CurrentDirectory(Args&) {
    std::string text, error;
    if (!Attach()) return Err("no main window");
    if (!Probe(kv::e2e::kProbeCurrentDirectory, nullptr, 0, text, error)) return Err(error);
    return Ok(JStr(text));
  }

  Reply Resources(Args&) {
    std::string text, error;
    if (!Probe(kv::e2e::kProbeResources, nullptr, 0, text, error)) return Err(error);
    return Ok(text);
  }

  Reply CommandCmd(Args& args) {
    long long id;
    if (!args.Int(id)) return Err("expected a command id");
    if (!Attach()) return Err("no main window");
    return Ok(Deliver(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0));
  }

  Reply MenuState(Args& args) {
    long long id;
    if (!args.Int(id)) return Err("expected a command id");
    std::vector<MenuItem> items;
    std::string error;
    if (!MenuTree(items, error)) return Err(error);
    for (const auto& item : items)
      if (!item.popup && item.id == static_cast<unsigned>(id)) return Ok(MenuItemJson(item));
    return Ok(JObject().Add("present", "false").Add("id", JInt(id)).Str());
  }

  Reply MenuBar(Args&) {
    std::vector<MenuItem> items;
    std::string error;
    if (!MenuTree(items, error)) return Err(error);
    std::vector<std::string> out;
    for (const auto& item : items)
      if (item.depth == 0) out.push_back(MenuItemJson(item));
    return Ok(JArray(out));
  }

  Reply MenuTreeCmd(Args&) {
    std::vector<MenuItem> items;
    std::string error;
    if (!MenuTree(items, error)) return Err(error);
    std::vector<std::string> out;
    for (const auto& item : items) out.push_back(MenuItemJson(item));
    return Ok(JArray(out));
  }

  Reply ModalCmd(Args& args) {
    long long ms = args.IntOr(0);
    DWORD start = GetTickCount();
    for (;;) {
      if (HWND modal = Modal()) {
        HWND owner = GetWindow(modal, GW_OWNER);
        return Ok(JObject()
                      .Add("hwnd", JHwnd(modal))
                      .Add("class", JStr(ClassName(modal)))
                      .Add("caption", JStr(TextOf(modal, sendTimeout_)))
                      .Add("owner", JHwnd(owner))
                      .Add("owned_by_main", JBool(owner && owner == main_))
                      .Add("main_enabled", JBool(main_ && IsWindowEnabled(main_)))
                      .Add("rect", [&] { RECT r; GetWindowRect(modal, &r); return JRect(r); }())
                      .Str());
      }
      if (GetTickCount() - start >= static_cast<DWORD>(ms)) return Err("no modal window");
      Sleep(50);
    }
  }

  Reply WaitNoModal(Args& args) {
    long long ms = args.IntOr(5000);
    DWORD start = GetTickCount();
    while (Modal()) {
      if (GetTickCount() - start >= static_cast<DWORD>(ms)) return Err("a modal window is still open");
      Sleep(50);
    }
    return Ok("true");
  }

  // Posts key strokes to the window with the keyboard focus in the program (or to the target).
  Reply Key(Args& args) {
    HWND window = nullptr;
    if (!args.Peek().empty() && args.Peek()[0] == '@') {
      std::string error;
      if (!(window = Target(args, error))) return Err(error);
    } else {
      if (!Attach()) return Err("no main window");
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      if (GetGUIThreadInfo(tid_, &info)) window = info.hwndFocus ? info.hwndFocus : info.hwndActive;
      if (!window) window = Modal() ? Modal() : main_;
    }
    if (!args.More()) return Err("expected key names");
    while (args.More()) {
      std::string name = args.Word();
      int vk = ParseKey(name);
      if (vk < 0) return Err("unknown key " + name);
      PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(vk), KeyLParam(vk, false, false));
      PostMessageW(window, WM_KEYUP, static_cast<WPARAM>(vk), KeyLParam(vk, true, false));
    }
    return Ok(JObject().Add("to", JHwnd(window)).Add("class", JStr(ClassName(window))).Str());
  }

  // Alt+F4 as the keyboard delivers it to the focused window: WM_SYSKEYDOWN with the Alt bit.
  Reply AltF4(Args&) {
    if (!Attach()) return Err("no main window");
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND window = main_;
    if (GetGUIThreadInfo(tid_, &info) && info.hwndFocus) window = info.hwndFocus;
    PostMessageW(window, WM_SYSKEYDOWN, VK_F4, KeyLParam(VK_F4, false, true));
    PostMessageW(window, WM_SYSKEYUP, VK_F4, KeyLParam(VK_F4, true, true));
    return Ok(JObject().Add("to", JHwnd(window)).Str());
  }

  // Real keyboard input through the window system: brings the main window to the front and
  // presses the chord ("alt+f4": Alt down, F4 down, F4 up, Alt up), so key state and
  // accelerators see what they would see from a keyboard.
  Reply Input(Args& args) {
    if (!Attach()) return Err("no main window");
    std::string chord = args.Word();
    std::vector<int> keys;
    size_t at = 0;
    while (at <= chord.size() && !chord.empty()) {
      size_t plus = chord.find('+', at);
      std::string name = chord.substr(at, plus == std::string::npos ? std::string::npos : plus - at);
      int vk = ParseKey(name);
      if (vk < 0) return Err("unknown key " + name);
      keys.push_back(vk);
      if (plus == std::string::npos) break;
      at = plus + 1;
    }
    if (keys.empty()) return Err("expected a key chord such as alt+f4");
    // Activation of another process's window is asynchronous under Wine: wait until the
    // program really has the foreground, or the keys go elsewhere.
    DWORD start = GetTickCount();
    while (GetForegroundWindow() != main_ && GetTickCount() - start < 2000) {
      SetForegroundWindow(main_);
      Sleep(50);
    }
    std::vector<INPUT> inputs;
    auto add = [&](int vk, bool up) {
      INPUT in = {};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = static_cast<WORD>(vk);
      in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC));
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      inputs.push_back(in);
    };
    for (int vk : keys) add(vk, false);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) add(*it, true);
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return Ok(JObject().Add("sent", JInt(sent)).Add("foreground", JBool(GetForegroundWindow() == main_)).Str());
  }

  Reply Close(Args&) {
    if (!Attach()) return Err("no main window");
    return Ok(JBool(PostMessageW(main_, WM_CLOSE, 0, 0)));
  }

  Reply WaitGone(Args& args) {
    long long ms = args.IntOr(10000);
    DWORD start = GetTickCount();
    HWND window = main_ ? main_ : FindWindowW(mainClass_.c_str(), nullptr);
    while (window && IsWindow(window)) {
      if (GetTickCount() - start >= static_cast<DWORD>(ms)) return Err("the main window is still there");
      Sleep(50);
    }
    JObject out;
    out.Add("gone", "true");
    if (process_) {
      DWORD left = static_cast<DWORD>(ms) - std::min<DWORD>(static_cast<DWORD>(ms), GetTickCount() - start);
      if (WaitForSingleObject(process_, left) != WAIT_OBJECT_0) return Err("the window is gone but the process still runs");
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      out.Add("exit", JInt(code));
    }
    main_ = nullptr;
    return Ok(out.Str());
  }

  // Lets the program finish what is queued: pending paints, then one round trip through its
  // message loop.
  Reply Sync(Args&) {
    if (!Attach()) return Err("no main window");
    RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR result;
    if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, sendTimeout_, &result))
      return Err("the program did not answer");
    return Ok("true");
  }

  Reply SleepCmd(Args& args) {
    Sleep(static_cast<DWORD>(args.IntOr(100)));
    return Ok("true");
  }

  Reply Message(Args& args, bool post) {
    std::string error;
    HWND window = Target(args, error);
    if (!window) return Err(error);
    long long message, wParam = 0, lParam = 0;
    if (!args.Int(message)) return Err("expected a message number");
    args.Int(wParam);
    args.Int(lParam);
    if (post) return Ok(JBool(PostMessageW(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam))));
    return Ok(Deliver(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
  }
  Reply Send(Args& args) { return Message(args, false); }
  Reply Post(Args& args) { return Message(args, true); }

  Reply Timeout(Args& args) {
    long long ms;
    if (!args.Int(ms) || ms <= 0) return Err("expected milliseconds");
    sendTimeout_ = static_cast<DWORD>(ms);
    return Ok(JInt(ms));
  }

  Reply Focus(Args&) {
    if (!Attach()) return Err("no main window");
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(tid_, &info)) return Err("no thread information");
    return Ok(JObject()
                  .Add("focus", JHwnd(info.hwndFocus))
                  .Add("focus_id", JInt(info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0))
                  .Add("active", JHwnd(info.hwndActive))
                  .Add("foreground", JHwnd(GetForegroundWindow()))
                  .Str());
  }

  // An optional @target, the program's modal window when none is given.
  HWND DialogTarget(Args& args, std::string& error) {
    if (!args.Peek().empty() && args.Peek()[0] == '@') return Target(args, error);
    HWND modal = Modal();
    if (!modal) error = "no modal window";
    return modal;
  }

  // A common file dialog: the path typed into its file name field (cmb13 in the explorer style,
  // edt1 in the old one), then its OK button pressed. Posted, as the dialog closes and the
  // program may go on into a message box.
  Reply FileDialog(Args& args) {
    std::string error;
    HWND dialog = DialogTarget(args, error);
    if (!dialog) return Err(error);
    const std::wstring path = Wide(args.Rest());
    if (path.empty()) return Err("expected a path");
    HWND field = FindControl(dialog, 1148);
    if (!field) field = FindControl(dialog, 1152);
    if (!field) return Err("no file name field in " + ClassName(dialog));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                             SMTO_NORMAL, sendTimeout_, &result))
      return Err("the program did not answer");
    HWND ok = GetDlgItem(dialog, IDOK);
    BOOL posted = PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(ok));
    return Ok(JObject()
                  .Add("dialog", JHwnd(dialog))
                  .Add("caption", JStr(TextOf(dialog, sendTimeout_)))
                  .Add("field", JInt(GetDlgCtrlID(field)))
                  .Add("posted", JBool(posted))
                  .Str());
  }

  // A message box as a user reads it: caption, text, icon, buttons.
  Reply MessageBoxInfo(Args& args) {
    std::string error;
    HWND box = DialogTarget(args, error);
    if (!box) return Err(error);
    std::string text;
    std::vector<std::string> buttons;
    bool icon = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if (IsClass(child, L"Button")) {
        buttons.push_back(JObject()
                              .Add("id", JInt(GetDlgCtrlID(child)))
                              .Add("text", JStr(TextOf(child, sendTimeout_)))
                              .Str());
      } else if (IsClass(child, L"Static") && (style & SS_TYPEMASK) == SS_ICON) {
        icon = true;
      } else if (IsClass(child, L"Static") && IsWindowVisible(child)) {
        const std::string line = Utf8(TextOf(child, sendTimeout_));
        if (!line.empty()) text += (text.empty() ? "" : "\n") + line;
      }
    }
    HWND owner = GetWindow(box, GW_OWNER);
    return Ok(JObject()
                  .Add("hwnd", JHwnd(box))
                  .Add("caption", JStr(TextOf(box, sendTimeout_)))
                  .Add("text", JStr(text))
                  .Add("icon", JBool(icon))
                  .Add("buttons", JArray(buttons))
                  .Add("owned_by_main", JBool(owner && owner == main_))
                  .Str());
  }

  // Presses a dialog's button by id (IDYES 6, IDNO 7, IDOK 1, IDCANCEL 2) the way its click
  // reaches the dialog: WM_COMMAND posted with BN_CLICKED.
  Reply Answer(Args& args) {
    std::string error;
    HWND dialog = DialogTarget(args, error);
    if (!dialog) return Err(error);
    long long id;
    if (!args.Int(id)) return Err("expected a button id");
    HWND button = GetDlgItem(dialog, static_cast<int>(id));
    BOOL posted = PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                               reinterpret_cast<LPARAM>(button));
    return Ok(JObject().Add("dialog", JHwnd(dialog)).Add("posted", JBool(posted)).Str());
  }

  std::wstring mainClass_ = L"Tolmar KV 720";
  HWND main_ = nullptr;
  DWORD pid_ = 0, tid_ = 0;
  HANDLE process_ = nullptr;
  HMODULE probe_ = nullptr;
  HANDLE held_ = INVALID_HANDLE_VALUE;
  HHOOK hook_ = nullptr;
  HANDLE mapping_ = nullptr;
  ProbeBlock* block_ = nullptr;
  UINT probeMessage_ = 0;
  DWORD sendTimeout_ = 5000;
  bool nowait_ = false;
};

const Driver::Command Driver::kCommands[] = {
    {"help", &Driver::Help, ""},
    {"wait-main", &Driver::WaitMain, "[ms=10000] [class]"},
    {"main", &Driver::MainInfo, ""},
    {"caption", &Driver::Caption, ""},
    {"rect", &Driver::Rect, ""},
    {"client", &Driver::Client, ""},
    {"desktop", &Driver::Desktop, ""},
    {"panel", &Driver::PanelInfo, ""},
    {"win", &Driver::Win, "[@target]"},
    {"controls", &Driver::Controls, "[@target]"},
    {"ctl", &Driver::Ctl, "[@target] id"},
    {"text", &Driver::Text, "[@target] id"},
    {"enabled", &Driver::Enabled, "[@target] id"},
    {"visible", &Driver::Visible, "[@target] id"},
    {"check", &Driver::Check, "[@target] id"},
    {"sel", &Driver::Sel, "[@target] id"},
    {"count", &Driver::Count, "[@target] id"},
    {"items", &Driver::Items, "[@target] id"},
    {"pick", &Driver::Pick, "[@target] id index [full]"},
    {"click", &Driver::Click, "[@target] id"},
    {"settext", &Driver::SetText, "[@target] id text"},
    {"scroll", &Driver::Scroll, "[@target] h|v id|0 code [pos]"},
    {"scroll-info", &Driver::ScrollInfo, "[@target] h|v|id"},
    {"cwd", &Driver::CurrentDirectory, ""},
    {"resources", &Driver::Resources, ""},
    {"hold", &Driver::Hold, "path"},
    {"release", &Driver::Release, ""},
    {"command", &Driver::CommandCmd, "id"},
    {"menu-state", &Driver::MenuState, "id"},
    {"menu-bar", &Driver::MenuBar, ""},
    {"menu-tree", &Driver::MenuTreeCmd, ""},
    {"modal", &Driver::ModalCmd, "[wait ms=0]"},
    {"wait-no-modal", &Driver::WaitNoModal, "[ms=5000]"},
    {"file-dialog", &Driver::FileDialog, "[@target=modal] path"},
    {"message-box", &Driver::MessageBoxInfo, "[@target=modal]"},
    {"answer", &Driver::Answer, "[@target=modal] button-id"},
    {"key", &Driver::Key, "[@target] key..."},
    {"alt-f4", &Driver::AltF4, ""},
    {"input", &Driver::Input, "chord (e.g. alt+f4)"},
    {"close", &Driver::Close, ""},
    {"wait-gone", &Driver::WaitGone, "[ms=10000]"},
    {"sync", &Driver::Sync, ""},
    {"sleep", &Driver::SleepCmd, "ms"},
    {"send", &Driver::Send, "[@target] message [wparam] [lparam]"},
    {"post", &Driver::Post, "[@target] message [wparam] [lparam]"},
    {"timeout", &Driver::Timeout, "ms"},
    {"focus", &Driver::Focus, ""},
    {nullptr, nullptr, nullptr},
};

Reply Driver::Run(const std::string& line) {
  Args args = Split(line);
  if (args.words.empty()) return Err("empty command");
  nowait_ = false;
  if (args.words[0] == "nowait") {  // prefix: post the acting message instead of sending it
    nowait_ = true;
    std::string rest = args.words.size() > 1 ? line.substr(args.starts[1]) : std::string();
    args = Split(rest);
    if (args.words.empty()) return Err("nowait needs a command");
  }
  for (const Command* c = kCommands; c->name; ++c)
    if (args.words[0] == c->name) {
      Reply reply = (this->*c->handler)(args);
      if (reply.ok && args.More()) return Err("unexpected argument " + args.Peek());
      return reply;
    }
  return Err("unknown command " + args.words[0] + " (try help)");
}

void Print(const Reply& reply) {
  std::string out = (reply.ok ? "OK " : "ERR ") + reply.body;
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  Driver driver;
  if (argc > 1) {  // one shot: the arguments are the command(s)
    std::string line;
    bool allOk = true;
    for (int i = 1; i <= argc; ++i) {
      if (i == argc || std::wcscmp(argv[i], L";") == 0) {
        Reply reply = driver.Run(line);
        Print(reply);
        allOk = allOk && reply.ok;
        line.clear();
      } else {
        line += (line.empty() ? "" : " ") + Utf8(argv[i]);
      }
    }
    return allOk ? 0 : 1;
  }
  std::string line;
  int c;
  for (;;) {
    line.clear();
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) break;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line == "quit" || line == "exit") break;
    Print(driver.Run(line));
    if (c == EOF) break;
  }
  return 0;
}
