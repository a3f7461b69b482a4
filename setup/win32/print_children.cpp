#include "setup/win32/print_children.h"

namespace zor {

namespace {
// Set on a window while its children are being drawn.
constexpr wchar_t kPrintingProperty[] = L"ZorPrintingChildren";
}  // namespace

void PrintChildWindows(HWND parent, HDC dc) {
  HWND top = ::GetWindow(parent, GW_CHILD);
  if (!top || !dc) return;
  // A themed control draws its parent's background behind itself by asking
  // the parent for a print-client drawing; that nested request wants the
  // background only, or every control would draw all its siblings again.
  if (::GetPropW(parent, kPrintingProperty)) return;
  ::SetPropW(parent, kPrintingProperty, reinterpret_cast<HANDLE>(1));
  for (HWND child = ::GetWindow(top, GW_HWNDLAST); child; child = ::GetWindow(child, GW_HWNDPREV)) {
    if (!::IsWindowVisible(child)) continue;
    RECT place;
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    int saved = ::SaveDC(dc);
    ::OffsetViewportOrgEx(dc, place.left, place.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, place.right - place.left, place.bottom - place.top);
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    ::RestoreDC(dc, saved);
  }
  ::RemovePropW(parent, kPrintingProperty);
}

}  // namespace zor
