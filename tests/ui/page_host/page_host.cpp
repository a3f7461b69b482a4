// Test-only host for one wizard page: a top-level frame that shows the page
// from a language module's template, so a page can be looked at and driven
// under Wine without the wizard around it.
//
//   zor_page_host <sellang|agreement> <module.dll> [options]
//     --hold <ms>          close the frame after <ms> (default 4000)
//     --select <row>       choose list row <row> as a user would
//     --type <text>        select the folder field's text and type <text>
//                          over it, key by key (language page)
//     --lang-index <n>     the current language index before the page is
//                          made, as an earlier page would have left it
//     --browse-to <path>   press Browse, select <path> in the system's folder
//                          browser and press its OK (after half the hold)
//     --print              press the wizard's Print (agreement page); the
//                          print dialog's OK is pressed after half the hold
//     --add-printer <unix path>
//                          first add a PostScript printer writing to that
//                          file and make it the default (Wine only)
//     --print-lines <n>    with --print: print "Line 1" ... "Line n" instead
//                          of the agreement
//     --out <file>         write what the page left behind (UTF-8 lines):
//                          "install-folder: ...", "field: ...",
//                          "lang-index: ...", "selection: ...",
//                          "agreement-units: ...", "print: ...",
//                          "printer: ..." (with --add-printer)
#include <windows.h>

#include <shellapi.h>
#include <winspool.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "common/wstr.h"
#include "resource_ids.h"
#include "setup/setup_globals.h"
#include "setup/win32/agreement_print.h"
#include "setup/win32/dialog_second.h"
#include "setup/win32/dialog_sel_lang.h"

namespace {

constexpr UINT kMsgAct = WM_APP + 10;
constexpr UINT_PTR kCloseTimer = 1;

struct Options {
  std::wstring page;
  std::wstring module;
  int holdMs = 4000;
  int select = -1;
  std::wstring type;
  int langIndex = -1;
  std::wstring browseTo;
  bool print = false;
  std::wstring out;
  std::wstring addPrinter;
  int printLines = 0;
};

Options g_options;
std::wstring g_installDir = L"(unset)";
zor::CDialogSelLang* g_selLang = nullptr;
zor::CDialogSecond* g_agreement = nullptr;
HWND g_frame = nullptr;
std::string g_printResult = "not asked";
std::string g_printerResult;

std::wstring Text(HWND window) {
  wchar_t buffer[1024] = {};
  ::GetWindowTextW(window, buffer, 1024);
  return buffer;
}

// Waits for a top-level dialog of this process other than the frame: the
// system's folder browser or print dialog.
HWND WaitForSystemDialog(int ms) {
  for (int waited = 0; waited < ms; waited += 100) {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          DWORD pid = 0;
          ::GetWindowThreadProcessId(w, &pid);
          wchar_t cls[64] = {};
          ::GetClassNameW(w, cls, 64);
          if (pid == ::GetCurrentProcessId() && w != g_frame && ::IsWindowVisible(w) &&
              std::wstring(cls) == L"#32770") {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    ::Sleep(100);
  }
  return nullptr;
}

// Plays the user in the system's dialog: optionally selects a folder, then
// presses OK once the screenshot had its time.
void PlayUser(std::wstring selectPath, int waitMs) {
  HWND dialog = WaitForSystemDialog(10000);
  if (!dialog) {
    std::fprintf(stderr, "page_host: no system dialog came\n");
    return;
  }
  std::fprintf(stderr, "page_host: system dialog \"%s\"\n", zor::ToUtf8(Text(dialog)).c_str());
  if (!selectPath.empty()) ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(selectPath.c_str()));
  ::Sleep(static_cast<DWORD>(waitMs));
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

// The smallest description Wine's PostScript driver accepts: without one it
// has no device mode and the print dialog cannot finish.
const char kPrinterDescription[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"GENERIC.PPD\"\n"
    "*Manufacturer: \"Zor\"\n"
    "*Product: \"(File printer)\"\n"
    "*ModelName: \"Zor File Printer\"\n"
    "*ShortNickName: \"Zor File Printer\"\n"
    "*NickName: \"Zor File Printer\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: False\n"
    "*DefaultColorSpace: Gray\n"
    "*FileSystem: False\n"
    "*Throughput: \"1\"\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*PageSize Letter/Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: A4\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*PageRegion Letter/Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n"
    "*ImageableArea Letter/Letter: \"18 18 594 774\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n"
    "*PaperDimension Letter/Letter: \"612 792\"\n"
    "*DefaultFont: Courier\n"
    "*Font Courier: Standard \"(002.004S)\" Standard ROM\n"
    "*Font Helvetica: Standard \"(001.006S)\" Standard ROM\n"
    "*Font Times-Roman: Standard \"(001.007S)\" Standard ROM\n"
;

// A PostScript printer on a port that is a Unix file name, which Wine's
// local spooler writes to directly.
void AddFilePrinter(const std::wstring& path) {
  wchar_t driverFolder[MAX_PATH] = {};
  DWORD needed = 0;
  bool described = false;
  if (::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(driverFolder), sizeof(driverFolder),
                                   &needed)) {
    ::CreateDirectoryW(driverFolder, nullptr);
    FILE* f = _wfopen((std::wstring(driverFolder) + L"\\generic.ppd").c_str(), L"wb");
    if (f) {
      described = std::fwrite(kPrinterDescription, 1, sizeof(kPrinterDescription) - 1, f) ==
                  sizeof(kPrinterDescription) - 1;
      described = std::fclose(f) == 0 && described;
    }
  }
  if (!described) {
    g_printerResult = "the driver's description could not be written to the driver folder";
    return;
  }
  DRIVER_INFO_3W driverInfo{};
  driverInfo.cVersion = 3;
  std::wstring driverName = L"Wine PostScript Driver", driverFile = L"wineps.drv", dataFile = L"generic.ppd";
  driverInfo.pName = &driverName[0];
  driverInfo.pDriverPath = &driverFile[0];
  driverInfo.pDataFile = &dataFile[0];
  driverInfo.pConfigFile = &driverFile[0];
  BOOL added = ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driverInfo), APD_COPY_NEW_FILES);
  unsigned long driverError = added ? 0ul : static_cast<unsigned long>(::GetLastError());
  std::fprintf(stderr, "page_host: AddPrinterDriver %d (%lu)\n", added ? 1 : 0, driverError);
  std::wstring name = L"ZorFilePrinter";
  PRINTER_INFO_2W info{};
  info.pPrinterName = &name[0];
  std::wstring port = path;
  info.pPortName = &port[0];
  std::wstring driver = L"Wine PostScript Driver";
  info.pDriverName = &driver[0];
  std::wstring processor = L"WinPrint";
  info.pPrintProcessor = &processor[0];
  std::wstring type = L"RAW";
  info.pDatatype = &type[0];
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  unsigned long error = printer ? 0ul : static_cast<unsigned long>(::GetLastError());
  std::fprintf(stderr, "page_host: AddPrinter %s (%lu)\n", printer ? "done" : "failed", error);
  if (printer) ::ClosePrinter(printer);
  bool isDefault = ::SetDefaultPrinterW(name.c_str()) != FALSE;
  std::fprintf(stderr, "page_host: SetDefaultPrinter %d\n", isDefault ? 1 : 0);
  if (!added)
    g_printerResult = "driver not added (error " + std::to_string(driverError) + ")";
  else if (!printer)
    g_printerResult = "printer not added (error " + std::to_string(error) + ")";
  else if (!isDefault)
    g_printerResult = "added but not made the default";
  else
    g_printerResult = "added";
}

void WriteOut() {
  if (g_options.out.empty()) return;
  std::string text;
  auto line = [&text](const char* key, const std::wstring& value) {
    text += key;
    text += ": ";
    text += zor::ToUtf8(value);
    text += "\n";
  };
  line("install-folder", g_installDir);
  line("lang-index", std::to_wstring(zor::g_nLangIndex));
  if (g_selLang) {
    HWND page = g_selLang->GetSafeHwnd();
    line("field", Text(::GetDlgItem(page, IDC_SELLANG_FOLDER)));
    line("selection", std::to_wstring(::SendDlgItemMessageW(page, IDC_SELLANG_LANGUAGE, CB_GETCURSEL, 0, 0)));
  }
  if (g_agreement) {
    HWND page = g_agreement->GetSafeHwnd();
    line("selection", std::to_wstring(::SendDlgItemMessageW(page, IDC_AGREEMENT_LANGUAGE, CB_GETCURSEL, 0, 0)));
    const std::wstring& agreement = g_agreement->GetAgreementText();
    line("agreement-units", std::to_wstring(agreement.size()));
    line("agreement-first", std::to_wstring(agreement.empty() ? -1 : static_cast<int>(agreement[0])));
    std::wstring start = agreement.substr(1, 40);
    std::replace(start.begin(), start.end(), L'\r', L'|');
    std::replace(start.begin(), start.end(), L'\n', L'|');
    line("agreement-start", start);
    line("field-units", std::to_wstring(::GetWindowTextLengthW(::GetDlgItem(page, IDC_AGREEMENT_TEXT))));
  }
  text += "print: " + g_printResult + "\n";
  if (!g_options.addPrinter.empty()) text += "printer: " + g_printerResult + "\n";
  FILE* f = _wfopen(g_options.out.c_str(), L"wb");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

void Act() {
  HWND page = g_selLang ? g_selLang->GetSafeHwnd() : g_agreement->GetSafeHwnd();
  if (g_options.select >= 0) {
    int list = g_selLang ? IDC_SELLANG_LANGUAGE : IDC_AGREEMENT_LANGUAGE;
    ::SendDlgItemMessageW(page, list, CB_SETCURSEL, static_cast<WPARAM>(g_options.select), 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, list)));
  }
  if (!g_options.type.empty() && g_selLang) {
    HWND field = ::GetDlgItem(page, IDC_SELLANG_FOLDER);
    ::SetFocus(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    for (wchar_t key : g_options.type) ::SendMessageW(field, WM_CHAR, key, 1);
  }
  if (!g_options.browseTo.empty() && g_selLang) {
    std::thread(PlayUser, g_options.browseTo, g_options.holdMs / 2).detach();
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SELLANG_BROWSE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_SELLANG_BROWSE)));
  }
  if (g_options.print && g_agreement) {
    std::thread(PlayUser, std::wstring(), g_options.holdMs / 2).detach();
    std::wstring text = g_agreement->GetAgreementText();
    if (g_options.printLines > 0) {
      text = L"\xFEFF";
      for (int i = 1; i <= g_options.printLines; ++i) text += L"Line " + std::to_wstring(i) + L"\r\n";
    }
    g_printResult = zor::PrintAgreementText(text.c_str(), static_cast<int>(text.size())) ? "true" : "false";
  }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgAct:
      Act();
      ::SetTimer(window, kCloseTimer, static_cast<UINT>(g_options.holdMs), nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        WriteOut();
        ::DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc < 3) {
    std::fprintf(stderr, "usage: zor_page_host <sellang|agreement> <module.dll> [options]\n");
    return 2;
  }
  g_options.page = argv[1];
  g_options.module = argv[2];
  for (int i = 3; i < argc; ++i) {
    std::wstring a = argv[i];
    bool more = i + 1 < argc;
    if (a == L"--hold" && more) g_options.holdMs = _wtoi(argv[++i]);
    else if (a == L"--select" && more) g_options.select = _wtoi(argv[++i]);
    else if (a == L"--type" && more) g_options.type = argv[++i];
    else if (a == L"--lang-index" && more) g_options.langIndex = _wtoi(argv[++i]);
    else if (a == L"--browse-to" && more) g_options.browseTo = argv[++i];
    else if (a == L"--print") g_options.print = true;
    else if (a == L"--out" && more) g_options.out = argv[++i];
    else if (a == L"--print-lines" && more) g_options.printLines = _wtoi(argv[++i]);
    else if (a == L"--add-printer" && more) g_options.addPrinter = argv[++i];
  }

  if (!g_options.addPrinter.empty()) AddFilePrinter(g_options.addPrinter);
  HMODULE module = ::LoadLibraryW(g_options.module.c_str());
  if (!module) {
    std::fprintf(stderr, "page_host: cannot load the module\n");
    return 2;
  }
  zor::AfxSetResourceHandle(module);

  WNDCLASSW wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"ZorPageHost";
  ::RegisterClassW(&wc);
  g_frame = ::CreateWindowExW(0, wc.lpszClassName, (L"Page host: " + g_options.page).c_str(),
                              WS_OVERLAPPEDWINDOW, 20, 20, 560, 480, nullptr, nullptr, instance, nullptr);

  if (g_options.langIndex >= 0) zor::g_nLangIndex = g_options.langIndex;
  zor::CDialogSelLang selLang;
  zor::CDialogSecond agreement;
  zor::CDialog* page = nullptr;
  if (g_options.page == L"sellang") {
    selLang.SetInstallFolder(&g_installDir);
    g_selLang = &selLang;
    page = &selLang;
  } else {
    g_agreement = &agreement;
    page = &agreement;
  }
  if (!page->Create(g_frame)) {
    std::fprintf(stderr, "page_host: the page's window could not be made\n");
    return 2;
  }
  RECT pageRect;
  ::GetWindowRect(page->GetSafeHwnd(), &pageRect);
  RECT frameRect{0, 0, pageRect.right - pageRect.left + 20, pageRect.bottom - pageRect.top + 20};
  ::AdjustWindowRect(&frameRect, WS_OVERLAPPEDWINDOW, FALSE);
  ::SetWindowPos(g_frame, nullptr, 0, 0, frameRect.right - frameRect.left, frameRect.bottom - frameRect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  ::SetWindowPos(page->GetSafeHwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(page->GetSafeHwnd(), SW_SHOW);
  ::ShowWindow(g_frame, SW_SHOW);
  ::UpdateWindow(g_frame);
  ::PostMessageW(g_frame, kMsgAct, 0, 0);

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(page->GetSafeHwnd(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::LocalFree(argv);
  return 0;
}
