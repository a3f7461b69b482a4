// Checks the dialog templates of the setup program and of every language
// module against the one layout they must all have, then creates each
// dialog (hidden) and measures every text with the control's own font
// against the control's rectangle.
//
//   zor_template_check [--shots DIR] CODE=PATH...
//
// CODE names the language ("en", "de", ... "setup" for the setup program's
// own copy); the module "en" must also carry the English texts exactly.
// With --shots, a few screens of each module (the wizard on each page, the
// maintenance dialog, the about box) are shown and saved as DIR/CODE-NAME.bmp.
// Exit code 0 when everything agrees, 1 with every difference listed.
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/lang/resource_ids.h"
#include "tests/ui/dialog_template.h"
#include "tests/ui/expected_layout.h"
#include "tests/ui/screenshots.h"
#include "tests/ui/style_bits.h"
#include "tests/ui/text_fit.h"
#include "tests/ui/ui_text.h"

namespace zor::ui_check {
namespace {

struct Module {
  std::string code;
  std::wstring path;
  HMODULE handle = nullptr;
  std::map<int, DialogTemplate> templates;  // those that could be read
};

class Report {
 public:
  void Fail(const Module& m, const std::string& what) {
    std::printf("FAIL %s: %s\n", m.code.c_str(), what.c_str());
    ++failures_;
  }
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

std::string Where(const ExpectedDialog& d) { return "template " + std::to_string(d.id) + " (" + d.name + ")"; }

std::string Where(const ExpectedDialog& d, const ExpectedControl& c) {
  return Where(d) + ", control " + std::to_string(c.id) + " (" + c.role + ")";
}

std::string Rect(int x, int y, int cx, int cy) {
  return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + " x " + std::to_string(cy);
}

bool ReadTemplate(const Module& m, int id, DialogTemplate& out, std::string& error) {
  HRSRC res = FindResourceW(m.handle, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (!res) {
    error = "missing";
    return false;
  }
  HGLOBAL loaded = LoadResource(m.handle, res);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    error = "cannot be loaded";
    return false;
  }
  return ParseDialogTemplateEx(data, SizeofResource(m.handle, res), out, error);
}

// ---- (a) the templates as stored

void CheckFrame(const Module& m, const ExpectedDialog& d, const DialogTemplate& t, Report& report) {
  const std::string where = Where(d);
  const DWORD popup_bits = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD child_bits = WS_CHILD | DS_CONTROL;
  if (d.popup) {
    if ((t.style & popup_bits) != popup_bits || (t.style & WS_CHILD))
      report.Fail(m, where + ": must be a popup with caption, system menu and modal frame");
    if (t.title.empty()) report.Fail(m, where + ": has no caption text");
    if (m.code == "en" && t.title != d.english_caption)
      report.Fail(m, where + ": caption \"" + Utf8(t.title) + "\", want \"" + Utf8(d.english_caption) + "\"");
  } else {
    if ((t.style & child_bits) != child_bits || (t.style & (WS_POPUP | WS_CAPTION)))
      report.Fail(m, where + ": must be a child page (WS_CHILD | DS_CONTROL, no caption)");
    if (!t.title.empty()) report.Fail(m, where + ": a child page has no caption, this one has \"" + Utf8(t.title) + "\"");
  }
  if (t.style & WS_VISIBLE) report.Fail(m, where + ": visible on creation; the program shows it");
  if (t.cx != d.cx || t.cy != d.cy)
    report.Fail(m, where + ": size " + std::to_string(t.cx) + " x " + std::to_string(t.cy) + ", want " +
                       std::to_string(d.cx) + " x " + std::to_string(d.cy));
  if (!t.has_font || t.point_size != d.point_size || _wcsicmp(t.face.c_str(), d.face) != 0)
    report.Fail(m, where + ": font \"" + Utf8(t.face) + "\" " + std::to_string(t.point_size) + ", want \"" +
                       Utf8(d.face) + "\" " + std::to_string(d.point_size));
}

void CheckControl(const Module& m, const ExpectedDialog& d, const ExpectedControl& c, const DialogItem& item,
                  Report& report) {
  const std::string where = Where(d, c);
  if (_wcsicmp(item.class_name.c_str(), c.cls) != 0) {
    report.Fail(m, where + ": class " + Utf8(item.class_name) + ", want " + Utf8(c.cls));
    return;  // the style bits mean something else in another class
  }
  if (!(item.style & WS_CHILD)) report.Fail(m, where + ": WS_CHILD missing");
  const std::string style = DescribeStyleDifference(item.class_name, c.style, item.style);
  if (!style.empty()) report.Fail(m, where + ": style: " + style);
  const std::string ex = DescribeExStyleDifference(item.class_name, c.ex_style, item.ex_style);
  if (!ex.empty()) report.Fail(m, where + ": extended style: " + ex);
  if (item.x != c.x || item.y != c.y || item.cx != c.cx || item.cy != c.cy)
    report.Fail(m, where + ": at " + Rect(item.x, item.y, item.cx, item.cy) + ", want " + Rect(c.x, c.y, c.cx, c.cy));

  if (c.image != 0) {
    if (!item.text.is_ordinal || item.text.ordinal != c.image)
      report.Fail(m, where + ": must show resource " + std::to_string(c.image) + ", names " +
                         (item.text.is_ordinal ? std::to_string(item.text.ordinal) : "\"" + Utf8(item.text.name) + "\""));
    return;
  }
  if (item.text.is_ordinal) {
    report.Fail(m, where + ": names resource " + std::to_string(item.text.ordinal) + " instead of a text");
    return;
  }
  const std::wstring& text = item.text.name;
  const std::wstring english = c.english;
  if (english.empty() && !text.empty())
    report.Fail(m, where + ": must be empty in the template (the program fills it), holds \"" + Utf8(text) + "\"");
  if (!english.empty() && text.empty()) report.Fail(m, where + ": has no text");
  if (m.code == "en" && text != english)
    report.Fail(m, where + ": text \"" + Utf8(text) + "\", want \"" + Utf8(english) + "\"");
  const int marks = CountMnemonics(text);
  if (marks > 1) report.Fail(m, where + ": \"" + Utf8(text) + "\" has " + std::to_string(marks) + " mnemonics");
  if (marks == 0 && CountMnemonics(english) == 1 && !text.empty())
    report.Fail(m, where + ": \"" + Utf8(text) + "\" lacks the mnemonic the control has in English");
}

void CheckTemplates(Module& m, Report& report) {
  for (const ExpectedDialog& d : ExpectedDialogs()) {
    DialogTemplate t;
    std::string error;
    if (!ReadTemplate(m, d.id, t, error)) {
      report.Fail(m, Where(d) + ": " + error);
      continue;
    }
    m.templates[d.id] = t;
    CheckFrame(m, d, t, report);
    if (t.items.size() != d.controls.size()) {
      report.Fail(m, Where(d) + ": " + std::to_string(t.items.size()) + " controls, want " +
                         std::to_string(d.controls.size()) + "; control ids in the template:" + [&] {
                           std::string ids;
                           for (const DialogItem& i : t.items) ids += " " + std::to_string(i.id);
                           return ids;
                         }());
      continue;
    }
    for (size_t i = 0; i < d.controls.size(); ++i) {
      const ExpectedControl& c = d.controls[i];
      if (t.items[i].id != c.id) {
        report.Fail(m, Where(d) + ": control " + std::to_string(i + 1) + " has id " + std::to_string(t.items[i].id) +
                           ", want " + std::to_string(c.id) + " (" + c.role + ")");
        continue;
      }
      CheckControl(m, d, c, t.items[i], report);
    }
  }
}

// ---- (b) the texts as the dialogs draw them

INT_PTR CALLBACK QuietDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

// Creates the dialog hidden; child pages get a hidden host window.
HWND CreateHidden(const Module& m, const ExpectedDialog& d, HWND host) {
  HRSRC res = FindResourceW(m.handle, MAKEINTRESOURCEW(d.id), MAKEINTRESOURCEW(5));
  if (!res) return nullptr;
  auto* tpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(m.handle, res)));
  return CreateDialogIndirectParamW(m.handle, tpl, d.popup ? nullptr : host, QuietDialog, 0);
}

std::wstring LoadModuleString(const Module& m, int id) {
  const wchar_t* text = nullptr;
  int n = LoadStringW(m.handle, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

void ReportFit(const Module& m, const std::string& where, const std::wstring& text, const TextFit& fit,
               Report& report) {
  if (fit.fits) return;
  report.Fail(m, where + ": text overflows: \"" + Utf8(text) + "\" needs " + std::to_string(fit.needed.cx) + " x " +
                     std::to_string(fit.needed.cy) + " px, the control gives " + std::to_string(fit.available.cx) +
                     " x " + std::to_string(fit.available.cy) + " px");
}

// Which font Wine actually gave a dialog: substitutes change every measure.
struct FontUsed {
  std::wstring face;
  int height = 0;  // pixels
};

FontUsed FontInUse(HWND dlg) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
  HDC dc = GetDC(dlg);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(dlg, dc);
  return {face, static_cast<int>(tm.tmHeight)};
}

int CheckTexts(const Module& m, HWND host, Report& report) {
  int measured = 0;
  std::set<std::string> fonts;
  for (const ExpectedDialog& d : ExpectedDialogs()) {
    auto stored = m.templates.find(d.id);
    if (stored == m.templates.end() || stored->second.items.size() != d.controls.size()) continue;
    HWND dlg = CreateHidden(m, d, host);
    if (!dlg) {
      report.Fail(m, Where(d) + ": the dialog cannot be created from its template");
      continue;
    }
    const FontUsed used = FontInUse(dlg);
    fonts.insert(Utf8(d.face) + " as \"" + Utf8(used.face) + "\", " + std::to_string(used.height) + " px high");
    // Measures in another face say nothing about Windows.
    if (wcscmp(d.face, L"Tahoma") == 0 && used.face != L"Tahoma")
      report.Fail(m, Where(d) + ": drawn in \"" + Utf8(used.face) +
                         "\" instead of Tahoma; the Wine prefix lacks Tahoma (tests/wine/run.sh installs Wine's)");
    // Children in creation order, which is the template's order.
    size_t i = 0;
    for (HWND child = GetWindow(dlg, GW_CHILD); child && i < d.controls.size();
         child = GetWindow(child, GW_HWNDNEXT), ++i) {
      const ExpectedControl& c = d.controls[i];
      const std::wstring text = stored->second.items[i].text.name;
      if (c.fit == Fit::kNone || text.empty()) continue;
      ReportFit(m, Where(d, c), text, MeasureText(child, c.fit, text), report);
      ++measured;
    }
    for (const RunTimeText& r : RunTimeTexts()) {
      if (r.dialog != d.id) continue;
      HWND control = GetDlgItem(dlg, r.control);
      const ExpectedControl* c = nullptr;
      for (const ExpectedControl& e : d.controls) c = e.id == r.control ? &e : c;
      if (!control || !c) continue;
      for (int id : r.strings) {
        const std::wstring text = LoadModuleString(m, id);
        if (text.empty()) {
          report.Fail(m, "string " + std::to_string(id) + " (shown in " + Where(d, *c) + ") is missing or empty");
          continue;
        }
        ReportFit(m, Where(d, *c) + " showing string " + std::to_string(id), text, MeasureText(control, c->fit, text),
                  report);
        ++measured;
      }
    }
    DestroyWindow(dlg);
  }
  // Said once, and again only when a module is given other fonts.
  static std::set<std::string> said;
  if (fonts != said) {
    for (const std::string& f : fonts) std::printf("%s: font %s\n", m.code.c_str(), f.c_str());
    said = fonts;
  }
  return measured;
}

// ---- texts shared with the string table, mnemonics one screen shows together

const DialogItem* FindItem(const Module& m, int dialog, int control) {
  auto t = m.templates.find(dialog);
  if (t == m.templates.end()) return nullptr;
  for (const DialogItem& item : t->second.items) {
    if (item.id == control && !item.text.is_ordinal) return &item;
  }
  return nullptr;
}

void CheckSharedTexts(const Module& m, Report& report) {
  for (const SameAsString& same : SameAsStrings()) {
    const DialogItem* item = FindItem(m, same.dialog, same.control);
    if (!item) continue;
    const std::wstring string = LoadModuleString(m, same.string);
    if (item->text.name != string)
      report.Fail(m, "template " + std::to_string(same.dialog) + ", control " + std::to_string(same.control) +
                         ": \"" + Utf8(item->text.name) + "\" differs from string " + std::to_string(same.string) +
                         " \"" + Utf8(string) + "\", which the program shows there");
  }
}

void CheckMnemonics(const Module& m, Report& report) {
  for (const MnemonicScreen& screen : MnemonicScreens()) {
    std::map<wchar_t, std::vector<std::wstring>> by_key;
    for (const TextRef& ref : screen.texts) {
      std::wstring text;
      if (ref.dialog == 0) {
        text = LoadModuleString(m, ref.control);
      } else if (const DialogItem* item = FindItem(m, ref.dialog, ref.control)) {
        text = item->text.name;
      }
      if (wchar_t key = MnemonicKey(text)) by_key[key].push_back(text);
    }
    for (const auto& [key, texts] : by_key) {
      if (texts.size() < 2) continue;
      std::string list;
      for (const std::wstring& t : texts) list += (list.empty() ? "\"" : ", \"") + Utf8(t) + "\"";
      report.Fail(m, screen.name + std::string(": mnemonic '") + Utf8(std::wstring(1, key)) + "' used by " + list);
    }
  }
}

HWND MakeHost() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZorTemplateCheckHost";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
}

int Run(int argc, wchar_t** argv) {
  std::wstring shots;
  std::vector<Module> modules;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--shots" && i + 1 < argc) {
      shots = argv[++i];
      continue;
    }
    size_t eq = arg.find(L'=');
    if (eq == std::wstring::npos || eq == 0) {
      std::fprintf(stderr, "usage: zor_template_check [--shots DIR] CODE=PATH...\n");
      return 2;
    }
    Module m;
    m.code = Utf8(arg.substr(0, eq));
    m.path = arg.substr(eq + 1);
    modules.push_back(m);
  }
  if (modules.empty()) {
    std::fprintf(stderr, "usage: zor_template_check [--shots DIR] CODE=PATH...\n");
    return 2;
  }

  Report report;
  HWND host = MakeHost();
  int measured = 0;
  for (Module& m : modules) {
    m.handle = LoadLibraryExW(m.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m.handle) {
      report.Fail(m, "cannot load " + Utf8(m.path));
      continue;
    }
    CheckTemplates(m, report);
    measured += CheckTexts(m, host, report);
    CheckSharedTexts(m, report);
    CheckMnemonics(m, report);
    if (!shots.empty()) SaveScreens(m.handle, m.code, shots);
  }
  std::printf("%zu templates x %zu modules checked, %d texts measured: %d failure(s)\n", ExpectedDialogs().size(),
              modules.size(), measured, report.failures());
  return report.failures() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zor::ui_check

int wmain(int argc, wchar_t** argv) { return zor::ui_check::Run(argc, argv); }
