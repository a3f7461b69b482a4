// Helper of the product's Wine tests: does by hand what the setup would do
// for the parts a shell script cannot (shell folders, shortcuts), and plays
// the user at the setup's windows.
//
// Each Wine start costs time, so every command takes many items at once, and
// commands joined by a lone "+" run in one process:
//   lumaglimpse_testkit wait 10 W 1 enabled + click 5 W 1 + window 5 W gone
//
//   lumaglimpse_testkit folders <csidl>...       print each shell folder, one a line
//   lumaglimpse_testkit link {<csidl> <link> <target> <dir>}...
//       create shortcuts; <link> is relative to the shell folder (missing
//       folders on the way are made), <dir> is the working folder or ""
//   lumaglimpse_testkit target <link path>       print where a shortcut points
//   lumaglimpse_testkit keys {32|64 <HKLM subkey>}...
//       print "present <view> <subkey>" for each key that exists
//   lumaglimpse_testkit delete-keys {32|64 <HKLM subkey>}...
//       delete each key with everything below it
//   lumaglimpse_testkit press <caption> <seconds> <control id> [<unless text>]
//       wait up to <seconds> for a shown top-level window titled <caption>
//       with an enabled control <control id>, print the window's static
//       texts ("text: ..."), then click that control ("clicked: <its text>");
//       exit code 1 when no
//       such window came. Control id 0: only wait and print, click nothing.
//       A control reading <unless text> is not clicked: exit code 3
//   lumaglimpse_testkit wait-idle <seconds>
//       wait until no program but Wine's own services runs (a setup's
//       detached helpers, say); exit code 1 and their names when some still
//       run after <seconds>
//
// Window commands (testkit_gui.cpp). <window> is a top-level window's exact
// caption, or "class:<name>". <control> is a dialog id, looked for among the
// window's children and those of its child dialogs (the wizard's pages); an
// id that several pages use is named "<id>@<sibling id>": the one whose
// dialog also holds <sibling id>; control 0 is the window itself. Each
// waits up to <seconds> for the window state it needs and on timeout exits
// 1, saying what was wanted and what was last seen; wrong arguments exit 2.
//
//   lumaglimpse_testkit window <seconds> <window> shown|on-screen|off-screen|foreground|gone
//       on-screen: shown, and its rectangle lies within the screen;
//       off-screen: shown, but not within the screen; foreground: the
//       window the keyboard types into
//   lumaglimpse_testkit wait <seconds> <window> <control> <condition>
//       <condition>: visible, hidden, enabled, disabled, checked, unchecked,
//       focused, text=<text>, not-text=<text>, contains=<part of the text>,
//       not-contains=<text>, hash=<hash>, not-hash=<hash> (the text's hash
//       as state prints it), selected=<item text> (list and combo boxes)
//   lumaglimpse_testkit track <seconds> <window> <control> <condition>
//       as wait, and until the window lies within the screen; then print
//       each distinct rectangle the window had meanwhile ("rect: WxH+X+Y"):
//       a window moved away and back shows
//   lumaglimpse_testkit paint <seconds> <window>
//       have the window paint what is due (before a screenshot)
//   lumaglimpse_testkit state <seconds> <window> <control>
//       print "class: ", "text: ", "length: ", "hash: ", "visible: 0|1",
//       "enabled: 0|1", "focused: 0|1", and for buttons that check
//       "checked: 0|1", for list and combo boxes "selected: <index> <text>"
//       and "item: <index> <text>"
//   lumaglimpse_testkit click <seconds> <window> <control>
//       once shown and enabled, post it a click; prints "clicked: <text>"
//   lumaglimpse_testkit check <seconds> <window> <control>
//       click a radio button or check box unless checked; wait until checked
//   lumaglimpse_testkit select <seconds> <window> <control> <index>|=<text>
//       select an item of a combo or list box and notify its parent of the
//       change as a user's choice does
//   lumaglimpse_testkit set-text <seconds> <window> <control> <text>
//       replace an edit's text (its parent is told, as by typing)
//   lumaglimpse_testkit send-keys <seconds> <window> <key>...
//       bring the window to the foreground and type the keys as system input:
//       enter, tab, space, escape, left, right, up, down, home, end, f4, a
//       letter or digit, each with optional shift+, ctrl+, alt+ in front
//   lumaglimpse_testkit rect <seconds> <window> [<control>]
//       print its screen rectangle as WxH+X+Y (for import -crop)
//   lumaglimpse_testkit mouse-click <seconds> <window> <control> [<x> <y>]
//       once it is shown, click the left mouse button as system input at
//       <x>,<y> of its client area (default: its centre); prints the point
//       and the window under it
//   lumaglimpse_testkit clock              print "clock: <ms>" (the system's tick
//       count, the same for every program of the machine)
//   lumaglimpse_testkit tree <window>
//       every window below it (class, id, text, shown, enabled, rectangle,
//       styles), for a look
//   lumaglimpse_testkit windows            the shown top-level windows
//
// The registry commands use the system calls directly, not the product's
// helpers, so that they check the product instead of repeating it.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "common/std_stream.h"
#include "testkit_gui.h"

namespace {

using luma_testkit::TextOf;

int Fail(const std::wstring& text) {
  luma::WriteStd(STD_ERROR_HANDLE, L"testkit: " + text + L"\n");
  return 2;
}

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

int CreateLink(const std::wstring& linkPath, const std::wstring& target, const wchar_t* workDir) {
  size_t slash = linkPath.find_last_of(L'\\');
  if (slash != std::wstring::npos) SHCreateDirectoryExW(nullptr, linkPath.substr(0, slash).c_str(), nullptr);
  IShellLinkW* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) return Fail(L"no shell link object");
  IPersistFile* file = nullptr;
  hr = link->SetPath(target.c_str());
  if (SUCCEEDED(hr) && workDir != nullptr) hr = link->SetWorkingDirectory(workDir);
  if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Save(linkPath.c_str(), FALSE);
  if (file) file->Release();
  link->Release();
  return SUCCEEDED(hr) ? 0 : Fail(L"could not save " + linkPath);
}

int PrintTarget(const std::wstring& linkPath) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return Fail(L"no shell link object");
  }
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {};
  HRESULT hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Load(linkPath.c_str(), STGM_READ);
  if (SUCCEEDED(hr)) hr = link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  if (file) file->Release();
  link->Release();
  if (hr != S_OK) return Fail(L"cannot read " + linkPath);
  luma::WriteStd(STD_OUTPUT_HANDLE, std::wstring(target) + L"\n");
  return 0;
}

REGSAM View(const wchar_t* text) { return std::wstring(text) == L"32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

int Keys(int argc, wchar_t** argv, bool remove) {
  if (argc % 2 != 0) return Fail(L"keys need pairs of view and subkey");
  int result = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    const REGSAM view = View(argv[i]);
    const std::wstring path = argv[i + 1];
    if (!remove) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        luma::WriteStd(STD_OUTPUT_HANDLE, std::wstring(L"present ") + argv[i] + L" " + path + L"\n");
      }
      continue;
    }
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
      result = Fail(L"will not delete a top-level key: " + path);
      continue;
    }
    HKEY parent = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, &parent);
    if (rc == ERROR_SUCCESS) {
      rc = RegDeleteTreeW(parent, path.substr(slash + 1).c_str());
      RegCloseKey(parent);
    }
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) result = Fail(L"cannot delete " + path);
  }
  return result;
}

struct PressSearch {
  std::wstring caption;
  int id;
  HWND window = nullptr;
  HWND control = nullptr;
};

BOOL CALLBACK FindPressable(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<PressSearch*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[512] = {};
  InternalGetWindowText(window, title, 512);
  if (search->caption != title) return TRUE;
  HWND control = search->id == 0 ? window : GetDlgItem(window, search->id);
  if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control)) return TRUE;
  search->window = window;
  search->control = control;
  return FALSE;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  std::wstring text = _wcsicmp(name, L"Static") == 0 ? TextOf(child) : std::wstring();
  if (!text.empty()) luma::WriteStd(STD_OUTPUT_HANDLE, L"text: " + text + L"\n");
  return TRUE;
}

int Press(const std::wstring& caption, int seconds, int id, const wchar_t* unlessText) {
  PressSearch search{caption, id};
  for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(seconds) * 1000; Sleep(100)) {
    EnumWindows(FindPressable, reinterpret_cast<LPARAM>(&search));
    if (!search.control) continue;
    EnumChildWindows(search.window, PrintStaticText, 0);
    if (id == 0) return 0;
    std::wstring text = TextOf(search.control);
    if (unlessText && unlessText == text) return 3;
    luma::WriteStd(STD_OUTPUT_HANDLE, std::wstring(L"clicked: ") + text + L"\n");
    // Posted, not sent: a message box answers by ending its own loop, and
    // a sent message would wait for a window that may be gone by then.
    PostMessageW(search.control, BM_CLICK, 0, 0);
    return 0;
  }
  luma::WriteStd(STD_ERROR_HANDLE, L"testkit: no window \"" + caption + L"\" with control " + std::to_wstring(id) +
                                       L" within " + std::to_wstring(seconds) + L" s\n");
  return 1;
}

// Programs of Wine itself, which run for as long as the prefix's server does.
bool IsWineService(std::wstring name) {
  for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
  static const wchar_t* const kServices[] = {L"services.exe", L"winedevice.exe", L"plugplay.exe", L"explorer.exe",
                                             L"rpcss.exe",    L"svchost.exe",    L"conhost.exe",  L"winemenubuilder.exe",
                                             L"wineboot.exe"};
  for (const wchar_t* service : kServices)
    if (name == service) return true;
  return false;
}

std::vector<std::wstring> OtherPrograms() {
  std::vector<std::wstring> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {L"(no process list)"};
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID != GetCurrentProcessId() && !IsWineService(entry.szExeFile))
      names.push_back(entry.szExeFile);
  CloseHandle(snapshot);
  return names;
}

int WaitIdle(int seconds) {
  std::vector<std::wstring> running;
  for (DWORD start = GetTickCount();; Sleep(50)) {
    running = OtherPrograms();
    if (running.empty()) return 0;
    if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000) break;
  }
  std::wstring text = L"testkit: still running:";
  for (const auto& name : running) text += L" " + name;
  luma::WriteStd(STD_ERROR_HANDLE, text + L"\n");
  return 1;
}

}  // namespace

namespace {

int RunCommand(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  int result = 2;
  if (command == L"folders" && argc >= 3) {
    result = 0;
    for (int i = 2; i < argc && result == 0; ++i) {
      std::wstring folder = ShellFolder(_wtoi(argv[i]));
      result = folder.empty() ? Fail(L"no such folder") : (luma::WriteStd(STD_OUTPUT_HANDLE, folder + L"\n"), 0);
    }
  } else if (command == L"link" && argc >= 6 && (argc - 2) % 4 == 0) {
    result = 0;
    for (int i = 2; i + 3 < argc; i += 4) {
      std::wstring base = ShellFolder(_wtoi(argv[i]));
      int one = base.empty() ? Fail(L"no such folder")
                             : CreateLink(base + L"\\" + argv[i + 1], argv[i + 2], argv[i + 3][0] ? argv[i + 3] : nullptr);
      if (one != 0) result = one;
    }
  } else if (command == L"target" && argc == 3) {
    result = PrintTarget(argv[2]);
  } else if (command == L"keys" || command == L"delete-keys") {
    result = Keys(argc, argv, command == L"delete-keys");
  } else if (command == L"press" && (argc == 5 || argc == 6)) {
    result = Press(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), argc == 6 ? argv[5] : nullptr);
  } else if (command == L"wait-idle" && argc == 3) {
    result = WaitIdle(_wtoi(argv[2]));
  } else if (luma_testkit::RunGuiCommand(command, argc, argv, &result)) {
  } else {
    result = Fail(L"unknown command or wrong arguments; see the head of testkit.cpp");
  }
  return result;
}

}  // namespace

// Commands separated by "+" run one after the other in this one process,
// until one fails.
int wmain(int argc, wchar_t** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return Fail(L"no COM");
  int result = 0;
  for (int first = 1; first <= argc && result == 0;) {
    int end = first;
    while (end < argc && std::wstring(argv[end]) != L"+") ++end;
    std::vector<wchar_t*> one{argv[0]};
    one.insert(one.end(), argv + first, argv + end);
    one.push_back(nullptr);
    result = RunCommand(static_cast<int>(one.size()) - 1, one.data());
    first = end + 1;
  }
  CoUninitialize();
  return result;
}
