// Lumaglimpse.exe: shows the product's version, settings and components in a
// window, or with --print writes the same text to the standard output.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "app/product_report.h"
#include "common/product_names.h"
#include "common/std_stream.h"

namespace {

constexpr wchar_t kWindowClass[] = L"LumaglimpseMainWindow";
constexpr int kReportId = 100;

HFONT g_font = nullptr;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      HWND report = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                        ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                    0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportId)),
                                    reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance, nullptr);
      if (report == nullptr) return -1;
      if (g_font != nullptr) SendMessageW(report, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), TRUE);
      SetWindowTextW(report, luma::BuildProductReport().c_str());
      return 0;
    }
    case WM_SIZE:
      MoveWindow(GetDlgItem(window, kReportId), 8, 8, LOWORD(lParam) > 16 ? LOWORD(lParam) - 16 : 0,
                 HIWORD(lParam) > 16 ? HIWORD(lParam) - 16 : 0, TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool HasSwitch(const wchar_t* wanted) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return false;
  bool found = false;
  for (int i = 1; i < count; ++i) {
    if (CompareStringOrdinal(args[i], -1, wanted, -1, TRUE) == CSTR_EQUAL) found = true;
  }
  LocalFree(args);
  return found;
}

int RunWindow(HINSTANCE instance, int show) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    g_font = CreateFontIndirectW(&metrics.lfMessageFont);
  }

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return 1;

  HWND window = CreateWindowExW(0, kWindowClass, luma::kProductName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 560, 360, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (g_font != nullptr) DeleteObject(g_font);
  return got == -1 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int result = 0;
  if (HasSwitch(L"--print")) {
    result = luma::WriteStd(STD_OUTPUT_HANDLE, luma::BuildProductReport()) ? 0 : 1;
  } else {
    result = RunWindow(instance, show);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}
