// The test kit's window commands: find the setup's windows and controls and
// act on them through window messages, always waiting on window state (never
// on a fixed delay) up to a given number of seconds. A wait that runs out
// exits with code 1 and says what was wanted and what was last seen.
#include "testkit_gui.h"

#include <cstdint>
#include <cwctype>
#include <vector>

#include "common/std_stream.h"

namespace luma_testkit {
namespace {

constexpr UINT kAnswerMs = 1000;  // how long a sent message may take
constexpr DWORD kPollMs = 50;

void Out(const std::wstring& line) { luma::WriteStd(STD_OUTPUT_HANDLE, line + L"\n"); }

int Usage(const std::wstring& text) {
  luma::WriteStd(STD_ERROR_HANDLE, L"testkit: " + text + L"\n");
  return 2;
}

int TimedOut(const std::wstring& text) {
  luma::WriteStd(STD_ERROR_HANDLE, L"testkit: " + text + L"\n");
  return 1;
}

// A message to another program's window, given up on when its thread is
// busy; false then.
bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* answer = nullptr) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &result))
    return false;
  if (answer) *answer = static_cast<LRESULT>(result);
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

bool IsClass(HWND window, const wchar_t* name) { return _wcsicmp(ClassOf(window).c_str(), name) == 0; }

// "caption" or "class:NAME".
struct WindowSpec {
  std::wstring caption;
  std::wstring className;
  std::wstring Describe() const { return className.empty() ? L"window \"" + caption + L"\"" : L"window of class " + className; }
};

WindowSpec ParseWindow(const std::wstring& text) {
  WindowSpec spec;
  if (text.compare(0, 6, L"class:") == 0)
    spec.className = text.substr(6);
  else
    spec.caption = text;
  return spec;
}

bool Matches(HWND window, const WindowSpec& spec) {
  if (!spec.className.empty()) return IsClass(window, spec.className.c_str());
  // Server-side text: no message to the window's thread.
  wchar_t title[512] = {};
  InternalGetWindowText(window, title, 512);
  return spec.caption == title;
}

struct TopSearch {
  const WindowSpec* spec;
  HWND shown = nullptr;
  HWND any = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopSearch*>(param);
  if (!Matches(window, *search->spec)) return TRUE;
  if (!search->any) search->any = window;
  if (IsWindowVisible(window)) {
    search->shown = window;
    return FALSE;
  }
  return TRUE;
}

// The shown top-level window of <spec> (or, with anyState, a hidden one when
// none is shown).
HWND FindWindowOf(const WindowSpec& spec, bool anyState = false) {
  TopSearch search{&spec};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  return search.shown ? search.shown : (anyState ? search.any : nullptr);
}

// "<id>" or "<id>@<sibling id>": the control with that id among the window's
// children and the children of its child dialogs (the wizard's pages). Ids
// repeat across pages, so "@<sibling id>" narrows the search to the dialog
// that also holds a control with the sibling id.
struct ControlSpec {
  int id = 0;
  int sibling = 0;
  std::wstring Describe() const {
    return L"control " + std::to_wstring(id) + (sibling ? L"@" + std::to_wstring(sibling) : std::wstring());
  }
};

bool ParseControl(const std::wstring& text, ControlSpec* spec) {
  wchar_t* end = nullptr;
  spec->id = static_cast<int>(wcstol(text.c_str(), &end, 10));
  if (end == text.c_str()) return false;
  if (*end == L'@') {
    const wchar_t* rest = end + 1;
    spec->sibling = static_cast<int>(wcstol(rest, &end, 10));
    if (end == rest) return false;
  }
  return *end == 0;
}

struct ChildSearch {
  const ControlSpec* spec;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectControl(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(child) != search->spec->id) return TRUE;
  if (search->spec->sibling && !GetDlgItem(GetParent(child), search->spec->sibling)) return TRUE;
  search->found.push_back(child);
  return TRUE;
}

// The control, or null with the reason in <why>: a direct child of the window
// wins; among the pages' controls a single one, or else the single shown one.
HWND FindControl(HWND top, const ControlSpec& spec, std::wstring* why) {
  if (spec.id == 0) return top;
  ChildSearch search{&spec, {}};
  EnumChildWindows(top, CollectControl, reinterpret_cast<LPARAM>(&search));
  for (HWND c : search.found)
    if (GetParent(c) == top) return c;
  if (search.found.size() == 1) return search.found[0];
  if (search.found.empty()) {
    *why = L"no such control";
    return nullptr;
  }
  std::vector<HWND> shown;
  for (HWND c : search.found)
    if (IsWindowVisible(c)) shown.push_back(c);
  if (shown.size() == 1) return shown[0];
  *why = std::to_wstring(search.found.size()) + L" controls have this id (" + std::to_wstring(shown.size()) +
         L" shown); name one by a sibling's id as <id>@<sibling id>";
  return nullptr;
}

struct ControlState {
  std::wstring className;
  std::wstring text;
  bool visible = false;
  bool enabled = false;
  bool focused = false;
  int checked = -1;        // buttons only
  int selectedIndex = -2;  // list and combo boxes only; -1: none
  std::wstring selected;
  std::vector<std::wstring> items;
};

// FNV-1a over the text's UTF-16 units: tells long texts apart in a script.
std::wstring HashOf(const std::wstring& text) {
  uint32_t hash = 2166136261u;
  for (wchar_t unit : text) {
    hash = (hash ^ (static_cast<uint32_t>(unit) & 0xFF)) * 16777619u;
    hash = (hash ^ (static_cast<uint32_t>(unit) >> 8)) * 16777619u;
  }
  wchar_t hex[16] = {};
  swprintf(hex, 16, L"%08x", hash);
  return hex;
}

bool IsCombo(HWND c) { return IsClass(c, L"ComboBox"); }
bool IsList(HWND c) { return IsClass(c, L"ListBox"); }

std::wstring ItemText(HWND c, int index) {
  const bool combo = IsCombo(c);
  LRESULT length = 0;
  if (!Ask(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0, &length) || length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  if (!Ask(c, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]), &copied) || copied < 0)
    return {};
  text.resize(static_cast<size_t>(copied));
  return text;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

ControlState Read(HWND c) {
  ControlState s;
  s.className = ClassOf(c);
  s.text = TextOf(c);
  s.visible = IsWindowVisible(c) != FALSE;
  s.enabled = IsWindowEnabled(c) != FALSE;
  s.focused = FocusOf(c) == c;
  LRESULT answer = 0;
  if (IsClass(c, L"Button")) {
    const LONG kind = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
    if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON && kind != BS_GROUPBOX && Ask(c, BM_GETCHECK, 0, 0, &answer))
      s.checked = static_cast<int>(answer);
  }
  if (IsCombo(c) || IsList(c)) {
    const bool combo = IsCombo(c);
    LRESULT count = 0;
    Ask(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0, &count);
    for (int i = 0; i < count; ++i) s.items.push_back(ItemText(c, i));
    if (Ask(c, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0, &answer)) s.selectedIndex = static_cast<int>(answer);
    if (s.selectedIndex >= 0 && s.selectedIndex < static_cast<int>(s.items.size())) s.selected = s.items[s.selectedIndex];
  }
  return s;
}

std::wstring Summary(const ControlState& s) {
  std::wstring text = s.className + L" \"" + s.text + L"\", " + (s.visible ? L"visible" : L"hidden") + L", " +
                      (s.enabled ? L"enabled" : L"disabled");
  if (s.checked >= 0) text += s.checked == BST_CHECKED ? L", checked" : L", unchecked";
  if (s.selectedIndex >= -1) text += L", selected " + std::to_wstring(s.selectedIndex) + L" \"" + s.selected + L"\"";
  if (s.focused) text += L", focused";
  return text;
}

// visible, hidden, enabled, disabled, checked, unchecked, focused,
// text=<text>, not-text=<text>, contains=<text>, not-contains=<text>,
// hash=<hash>, not-hash=<hash>, selected=<text>.
bool Holds(const ControlState& s, const std::wstring& condition) {
  if (condition == L"visible") return s.visible;
  if (condition == L"hidden") return !s.visible;
  if (condition == L"enabled") return s.enabled;
  if (condition == L"disabled") return !s.enabled;
  if (condition == L"checked") return s.checked == BST_CHECKED;
  if (condition == L"unchecked") return s.checked == BST_UNCHECKED;
  if (condition == L"focused") return s.focused;
  if (condition.compare(0, 5, L"text=") == 0) return s.text == condition.substr(5);
  if (condition.compare(0, 5, L"hash=") == 0) return HashOf(s.text) == condition.substr(5);
  if (condition.compare(0, 9, L"not-hash=") == 0) return HashOf(s.text) != condition.substr(9);
  if (condition.compare(0, 9, L"not-text=") == 0) return s.text != condition.substr(9);
  if (condition.compare(0, 9, L"contains=") == 0) return s.text.find(condition.substr(9)) != std::wstring::npos;
  if (condition.compare(0, 13, L"not-contains=") == 0) return s.text.find(condition.substr(13)) == std::wstring::npos;
  if (condition.compare(0, 9, L"selected=") == 0) return s.selectedIndex >= 0 && s.selected == condition.substr(9);
  return false;
}

bool KnownCondition(const std::wstring& c) {
  static const wchar_t* const kWords[] = {L"visible", L"hidden", L"enabled", L"disabled", L"checked", L"unchecked",
                                          L"focused"};
  for (const wchar_t* word : kWords)
    if (c == word) return true;
  for (const wchar_t* prefix : {L"text=", L"not-text=", L"contains=", L"not-contains=", L"hash=", L"not-hash=", L"selected="})
    if (c.compare(0, wcslen(prefix), prefix) == 0) return true;
  return false;
}

// Waits until the window is shown and holds the control and <ready> holds for
// it. Fills *top and *control; returns 0, or 1 after the message on timeout.
template <typename Ready>
int WaitFor(int seconds, const WindowSpec& ws, const ControlSpec& cs, const std::wstring& wanted, Ready ready,
            HWND* top, HWND* control) {
  std::wstring last = L"no shown " + ws.Describe();
  for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
    *top = FindWindowOf(ws);
    if (*top) {
      std::wstring why;
      *control = FindControl(*top, cs, &why);
      if (*control) {
        ControlState state = Read(*control);
        if (ready(state)) return 0;
        last = Summary(state);
      } else {
        last = why;
      }
    }
    if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000) break;
  }
  return TimedOut(cs.Describe() + L" of " + ws.Describe() + L" not " + wanted + L" within " + std::to_wstring(seconds) +
                  L" s; last seen: " + last);
}

int WaitWindow(int seconds, const WindowSpec& ws, const std::wstring& state);
std::wstring Geometry(HWND window);

bool OnScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.left >= 0 && r.top >= 0 && r.right <= GetSystemMetrics(SM_CXSCREEN) && r.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

// As `wait`, and until the window lies on the screen, printing every distinct
// rectangle the window had meanwhile ("rect: WxH+X+Y"): a script sees a
// window that moved away and back.
int Track(int seconds, const WindowSpec& ws, const ControlSpec& cs, const std::wstring& condition) {
  std::vector<std::wstring> seen;
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, condition,
                   [&](const ControlState& s) {
                     HWND now = FindWindowOf(ws);
                     if (now) {
                       std::wstring rect = Geometry(now);
                       if (seen.empty() || seen.back() != rect) seen.push_back(rect);
                     }
                     return Holds(s, condition) && now && OnScreen(now);
                   },
                   &top, &c);
  for (const auto& rect : seen) Out(L"rect: " + rect);
  return rc;
}

// Has the window's thread paint what is due, so that a screenshot shows the
// page as it now is.
int Paint(int seconds, const WindowSpec& ws) {
  int rc = WaitWindow(seconds, ws, L"shown");
  HWND top = rc == 0 ? FindWindowOf(ws) : nullptr;
  if (!top) return rc ? rc : TimedOut(ws.Describe() + L" went away");
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (!Ask(top, WM_NULL, 0, 0)) return TimedOut(ws.Describe() + L" does not answer");
  return 0;
}

int WaitWindow(int seconds, const WindowSpec& ws, const std::wstring& state) {
  if (state != L"shown" && state != L"gone" && state != L"on-screen" && state != L"off-screen" &&
      state != L"foreground")
    return Usage(L"window state is shown, on-screen, off-screen, foreground or gone: " + state);
  for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
    HWND found = FindWindowOf(ws, state == L"gone");
    if (state == L"gone" ? found == nullptr
        : state == L"foreground" ? found != nullptr && GetForegroundWindow() == found
                                 : found != nullptr && (state == L"shown" || OnScreen(found) == (state == L"on-screen")))
      return 0;
    if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000) break;
  }
  return TimedOut(ws.Describe() + L" not " + state + L" within " + std::to_wstring(seconds) + L" s");
}

int PrintState(HWND c) {
  ControlState s = Read(c);
  Out(L"class: " + s.className);
  Out(L"text: " + s.text);
  Out(L"length: " + std::to_wstring(s.text.size()));
  Out(L"hash: " + HashOf(s.text));
  Out(std::wstring(L"visible: ") + (s.visible ? L"1" : L"0"));
  Out(std::wstring(L"enabled: ") + (s.enabled ? L"1" : L"0"));
  Out(std::wstring(L"focused: ") + (s.focused ? L"1" : L"0"));
  if (s.checked >= 0) Out(std::wstring(L"checked: ") + (s.checked == BST_CHECKED ? L"1" : L"0"));
  if (s.selectedIndex >= -1) {
    Out(L"selected: " + std::to_wstring(s.selectedIndex) + L" " + s.selected);
    for (size_t i = 0; i < s.items.size(); ++i) Out(L"item: " + std::to_wstring(i) + L" " + s.items[i]);
  }
  return 0;
}

std::wstring Geometry(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + (r.left >= 0 ? L"+" : L"") +
         std::to_wstring(r.left) + (r.top >= 0 ? L"+" : L"") + std::to_wstring(r.top);
}

std::wstring Hex(LONG value) {
  wchar_t text[16] = {};
  swprintf(text, 16, L"%08lX", static_cast<unsigned long>(value));
  return text;
}

void DumpTree(HWND window, int depth) {
  std::wstring line(static_cast<size_t>(depth) * 2, L' ');
  line += ClassOf(window) + L" id=" + std::to_wstring(GetDlgCtrlID(window)) + L" \"" + TextOf(window) + L"\" " +
          (IsWindowVisible(window) ? L"visible" : L"hidden") + L" " + (IsWindowEnabled(window) ? L"enabled" : L"disabled") +
          L" " + Geometry(window) + L" style=" + Hex(GetWindowLongW(window, GWL_STYLE)) + L" exstyle=" +
          Hex(GetWindowLongW(window, GWL_EXSTYLE));
  Out(line);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) DumpTree(child, depth + 1);
}

BOOL CALLBACK ListTop(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[512] = {};
  InternalGetWindowText(window, title, 512);
  Out(ClassOf(window) + L" \"" + title + L"\" " + Geometry(window));
  return TRUE;
}

// --- keys ------------------------------------------------------------------

struct Key {
  WORD vk = 0;
  bool shift = false, ctrl = false, alt = false;
};

bool ParseKey(std::wstring name, Key* key) {
  for (auto& ch : name) ch = static_cast<wchar_t>(std::towlower(ch));
  for (size_t plus; (plus = name.find(L'+')) != std::wstring::npos && plus + 1 < name.size(); name.erase(0, plus + 1)) {
    std::wstring mod = name.substr(0, plus);
    if (mod == L"shift") key->shift = true;
    else if (mod == L"ctrl") key->ctrl = true;
    else if (mod == L"alt") key->alt = true;
    else return false;
  }
  static const struct { const wchar_t* name; WORD vk; } kNames[] = {
      {L"enter", VK_RETURN}, {L"tab", VK_TAB},   {L"space", VK_SPACE}, {L"escape", VK_ESCAPE},
      {L"left", VK_LEFT},    {L"right", VK_RIGHT}, {L"up", VK_UP},     {L"down", VK_DOWN},
      {L"home", VK_HOME},    {L"end", VK_END},   {L"f4", VK_F4}};
  for (const auto& entry : kNames)
    if (name == entry.name) {
      key->vk = entry.vk;
      return true;
    }
  if (name.size() == 1 && (std::iswalnum(name[0]))) {
    key->vk = static_cast<WORD>(std::towupper(name[0]));
    return true;
  }
  return false;
}

bool IsExtended(WORD vk) {
  return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END;
}

void AddKey(std::vector<INPUT>* inputs, WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  inputs->push_back(in);
}

// Brings the window to the foreground, then types the keys as the keyboard
// would (system input, so the dialog manager sees Tab, Enter, arrows and
// Alt+letter the way a user's keys arrive).
int SendKeys(int seconds, const WindowSpec& ws, int argc, wchar_t** argv) {
  std::vector<Key> keys;
  for (int i = 0; i < argc; ++i) {
    Key key;
    if (!ParseKey(argv[i], &key)) return Usage(std::wstring(L"unknown key: ") + argv[i]);
    keys.push_back(key);
  }
  HWND top = nullptr;
  for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
    top = FindWindowOf(ws);
    if (top && GetForegroundWindow() == top) break;
    if (top) SetForegroundWindow(top);
    if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000)
      return TimedOut(ws.Describe() + (top ? L" did not come to the foreground" : L" not shown") + L" within " +
                      std::to_wstring(seconds) + L" s");
  }
  std::vector<INPUT> inputs;
  for (const Key& key : keys) {
    if (key.ctrl) AddKey(&inputs, VK_CONTROL, false);
    if (key.alt) AddKey(&inputs, VK_MENU, false);
    if (key.shift) AddKey(&inputs, VK_SHIFT, false);
    AddKey(&inputs, key.vk, false);
    AddKey(&inputs, key.vk, true);
    if (key.shift) AddKey(&inputs, VK_SHIFT, true);
    if (key.alt) AddKey(&inputs, VK_MENU, true);
    if (key.ctrl) AddKey(&inputs, VK_CONTROL, true);
  }
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) return Usage(L"SendInput took " + std::to_wstring(sent) + L" of the key events");
  return 0;
}

// A user's click at <x>,<y> of the control's client area (its centre when x
// is negative): the system decides which window gets it, as it would.
int MouseClick(int seconds, const WindowSpec& ws, const ControlSpec& cs, int x, int y) {
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, L"shown", [](const ControlState& s) { return s.visible; }, &top, &c);
  if (rc) return rc;
  RECT client{};
  GetClientRect(c, &client);
  POINT at{x < 0 ? client.right / 2 : x, y < 0 ? client.bottom / 2 : y};
  ClientToScreen(c, &at);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (at.x < 0 || at.y < 0 || at.x >= width || at.y >= height)
    return Usage(L"the point " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) + L" is off the screen");
  INPUT inputs[3] = {};
  for (INPUT& in : inputs) {
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((at.x * 65535LL + width / 2) / (width - 1));
    in.mi.dy = static_cast<LONG>((at.y * 65535LL + height / 2) / (height - 1));
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  if (SendInput(3, inputs, sizeof(INPUT)) != 3) return Usage(L"SendInput refused the mouse click");
  HWND under = WindowFromPoint(at);
  Out(L"mouse-clicked: " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) + L" on " +
      (under ? ClassOf(under) + L" id=" + std::to_wstring(GetDlgCtrlID(under)) : std::wstring(L"no window")));
  return 0;
}

// --- acting on controls ----------------------------------------------------

int Click(int seconds, const WindowSpec& ws, const ControlSpec& cs) {
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, L"shown and enabled", [](const ControlState& s) { return s.visible && s.enabled; },
                   &top, &c);
  if (rc) return rc;
  Out(L"clicked: " + TextOf(c));
  // Posted, not sent: a click may end a dialog or open a modal one, and a
  // sent message would wait for that to end.
  PostMessageW(c, BM_CLICK, 0, 0);
  return 0;
}

int Check(int seconds, const WindowSpec& ws, const ControlSpec& cs) {
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, L"shown and enabled", [](const ControlState& s) { return s.visible && s.enabled; },
                   &top, &c);
  if (rc) return rc;
  if (Read(c).checked < 0) return Usage(cs.Describe() + L" is not a check box or radio button");
  if (Read(c).checked != BST_CHECKED) PostMessageW(c, BM_CLICK, 0, 0);
  return WaitFor(seconds, ws, cs, L"checked", [](const ControlState& s) { return s.checked == BST_CHECKED; }, &top, &c);
}

// <choice>: an item's index, or "=<text>" for the item with that text.
int Select(int seconds, const WindowSpec& ws, const ControlSpec& cs, const std::wstring& choice) {
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, L"shown and enabled", [](const ControlState& s) { return s.visible && s.enabled; },
                   &top, &c);
  if (rc) return rc;
  if (!IsCombo(c) && !IsList(c)) return Usage(cs.Describe() + L" is neither a combo box nor a list box");
  ControlState s = Read(c);
  int index = -1;
  if (!choice.empty() && choice[0] == L'=') {
    for (size_t i = 0; i < s.items.size(); ++i)
      if (s.items[i] == choice.substr(1)) index = static_cast<int>(i);
  } else {
    index = _wtoi(choice.c_str());
  }
  if (index < 0 || index >= static_cast<int>(s.items.size())) {
    std::wstring items;
    for (const auto& item : s.items) items += L" \"" + item + L"\"";
    return Usage(L"no item " + choice + L" in " + cs.Describe() + L"; items:" + items);
  }
  const bool combo = IsCombo(c);
  if (!Ask(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0))
    return TimedOut(cs.Describe() + L" did not answer the selection");
  // A program's own selection change sends no notification; the user's does,
  // and that is what the page reacts to.
  const WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
  PostMessageW(GetParent(c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), code), reinterpret_cast<LPARAM>(c));
  Out(L"selected: " + std::to_wstring(index) + L" " + s.items[static_cast<size_t>(index)]);
  return 0;
}

int SetText(int seconds, const WindowSpec& ws, const ControlSpec& cs, const std::wstring& text) {
  HWND top = nullptr, c = nullptr;
  int rc = WaitFor(seconds, ws, cs, L"shown and enabled", [](const ControlState& s) { return s.visible && s.enabled; },
                   &top, &c);
  if (rc) return rc;
  // WM_SETTEXT makes an edit control notify its parent (EN_CHANGE) as typing does.
  if (!Ask(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
    return TimedOut(cs.Describe() + L" did not answer WM_SETTEXT");
  return WaitFor(seconds, ws, cs, L"reading \"" + text + L"\"", [&](const ControlState& s) { return s.text == text; },
                 &top, &c);
}

bool Seconds(const wchar_t* text, int* seconds) {
  wchar_t* end = nullptr;
  long value = wcstol(text, &end, 10);
  if (end == text || *end != 0 || value < 0 || value > 3600) return false;
  *seconds = static_cast<int>(value);
  return true;
}

}  // namespace

std::wstring TextOf(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                           kAnswerMs, &copied))
    return std::wstring();
  return std::wstring(text, wcsnlen(text, 4096));
}

bool RunGuiCommand(const std::wstring& command, int argc, wchar_t** argv, int* result) {
  // Commands without a wait.
  if (command == L"windows" && argc == 2) {
    EnumWindows(ListTop, 0);
    *result = 0;
    return true;
  }
  if (command == L"clock" && argc == 2) {
    Out(L"clock: " + std::to_wstring(GetTickCount()));
    *result = 0;
    return true;
  }
  if (command == L"tree" && argc == 3) {
    WindowSpec ws = ParseWindow(argv[2]);
    HWND top = FindWindowOf(ws, true);
    *result = top ? (DumpTree(top, 0), 0) : TimedOut(L"no " + ws.Describe());
    return true;
  }
  static const wchar_t* const kWaiting[] = {L"window", L"wait", L"state", L"rect", L"click",
                                            L"check",  L"select", L"set-text", L"send-keys", L"mouse-click", L"track", L"paint"};
  bool known = false;
  for (const wchar_t* name : kWaiting) known = known || command == name;
  if (!known) return false;

  int seconds = 0;
  if (argc < 4 || !Seconds(argv[2], &seconds)) {
    *result = Usage(command + L": <seconds> <window> ... expected; see the head of testkit.cpp");
    return true;
  }
  const WindowSpec ws = ParseWindow(argv[3]);
  if (command == L"window") {
    *result = argc == 5 ? WaitWindow(seconds, ws, argv[4]) : Usage(L"window <seconds> <window> shown|gone");
    return true;
  }
  if (command == L"send-keys") {
    *result = SendKeys(seconds, ws, argc - 4, argv + 4);
    return true;
  }
  if (command == L"paint") {
    *result = argc == 4 ? Paint(seconds, ws) : Usage(L"paint <seconds> <window>");
    return true;
  }
  if (command == L"rect" && argc == 4) {
    HWND top = nullptr;
    *result = WaitWindow(seconds, ws, L"shown");
    if (*result == 0 && (top = FindWindowOf(ws))) Out(Geometry(top));
    return true;
  }
  ControlSpec cs;
  if (argc < 5 || !ParseControl(argv[4], &cs)) {
    *result = Usage(command + L": a control id (<id> or <id>@<sibling id>) expected");
    return true;
  }
  HWND top = nullptr, c = nullptr;
  auto exists = [](const ControlState&) { return true; };
  if (command == L"wait" && argc == 6 && KnownCondition(argv[5])) {
    const std::wstring condition = argv[5];
    *result = WaitFor(seconds, ws, cs, condition, [&](const ControlState& s) { return Holds(s, condition); }, &top, &c);
  } else if (command == L"track" && argc == 6 && KnownCondition(argv[5])) {
    *result = Track(seconds, ws, cs, argv[5]);
  } else if (command == L"state" && argc == 5) {
    *result = WaitFor(seconds, ws, cs, L"there", exists, &top, &c);
    if (*result == 0) *result = PrintState(c);
  } else if (command == L"rect" && argc == 5) {
    *result = WaitFor(seconds, ws, cs, L"there", exists, &top, &c);
    if (*result == 0) Out(Geometry(c));
  } else if (command == L"click" && argc == 5) {
    *result = Click(seconds, ws, cs);
  } else if (command == L"mouse-click" && (argc == 5 || argc == 7)) {
    *result = MouseClick(seconds, ws, cs, argc == 7 ? _wtoi(argv[5]) : -1, argc == 7 ? _wtoi(argv[6]) : -1);
  } else if (command == L"check" && argc == 5) {
    *result = Check(seconds, ws, cs);
  } else if (command == L"select" && argc == 6) {
    *result = Select(seconds, ws, cs, argv[5]);
  } else if (command == L"set-text" && argc == 6) {
    *result = SetText(seconds, ws, cs, argv[5]);
  } else {
    *result = Usage(command + L": wrong arguments; see the head of testkit.cpp");
  }
  return true;
}

}  // namespace luma_testkit
