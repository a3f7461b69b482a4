#include "setup/win32/print_children.h"

namespace zor {

namespace {
// Set on a window while its children are being drawn.
constexpr wchar_t kPrintingProperty[] = L"ZorPrintingChildren";
}  // namespace

void PrintChildWindows(HWND parent, HDC dc, LPARAM flags) {
  // A control asking for its parent's background (PRF_CLIENT alone) wants
  // the background only.
  if (!(flags & PRF_CHILDREN)) return;
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
    const int w = place.right - place.left, h = place.bottom - place.top;
    if (w <= 0 || h <= 0) continue;
    // Each child draws into a context of its own size at origin 0: the
    // system's controls clip their drawing to their client rectangle in
    // device coordinates and draw nothing into a context whose origin was
    // moved to their place. What has been drawn below the child goes in
    // first, so a child that leaves its background (a transparent label)
    // shows it.
    HDC own = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = own ? ::CreateCompatibleBitmap(dc, w, h) : nullptr;
    if (bitmap) {
      HGDIOBJ previous = ::SelectObject(own, bitmap);
      ::BitBlt(own, 0, 0, w, h, dc, place.left, place.top, SRCCOPY);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(own),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
      ::BitBlt(dc, place.left, place.top, w, h, own, 0, 0, SRCCOPY);
      ::SelectObject(own, previous);
      ::DeleteObject(bitmap);
    }
    if (own) ::DeleteDC(own);
  }
  ::RemovePropW(parent, kPrintingProperty);
}

}  // namespace zor
