#include "tests/unit/renderer/renderer_win.h"

#if defined(_WIN32) && defined(ZOR_RENDERER_DIR)

#include <cstdlib>

namespace zortest {

namespace {

const wchar_t kColourClass[] = L"ZorTestColourWindow";

void Fill(HWND window, HDC dc) {
  const uint32_t rgb = static_cast<uint32_t>(GetWindowLongPtrW(window, GWLP_USERDATA));
  HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
  RECT rect;
  GetClientRect(window, &rect);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

LRESULT CALLBACK ColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
      Fill(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Fill(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

HWND MakeColourWindow(uint32_t rgb, int x, int y, int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ColourProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kColourClass;
    registered = RegisterClassExW(&wc) != 0;
    if (!registered) return nullptr;
  }
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kColourClass, L"", WS_POPUP, x, y, width, height, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(rgb));
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  return window;
}

uint32_t PrintedColourAt(HWND window, int x, int y) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return 0xFFFFFFFF;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  uint32_t result = 0xFFFFFFFF;
  if (PrintWindow(window, dc, 0)) {
    COLORREF c = GetPixel(dc, x, y);
    if (c != CLR_INVALID) result = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return result;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {16, 8, 0}) {
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
  }
  return true;
}

}  // namespace zortest

#endif
