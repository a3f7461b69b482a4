#include "setup/win32/dpi_bmp_static.h"

namespace zor {

void CDpiBmpStatic::Draw(HDC dc) {
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(::SendMessageW(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (!bitmap) return;
  RECT window;
  ::GetWindowRect(m_hWnd, &window);
  BITMAP info = {};
  if (!::GetObjectW(bitmap, sizeof(info), &info)) return;
  HDC memory = ::CreateCompatibleDC(dc);
  if (!memory) return;
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::SetStretchBltMode(dc, HALFTONE);
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  ::StretchBlt(dc, 0, 0, window.right - window.left, window.bottom - window.top, memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
}

bool CDpiBmpStatic::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (HandleDrawing(message, wParam, result)) return true;
  switch (message) {
    case WM_ERASEBKGND:
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace zor
