#include "setup/win32/page.h"

#include "setup/win32/print_children.h"

namespace zor {

CPage::~CPage() {
  if (m_hWhiteBrush) ::DeleteObject(m_hWhiteBrush);
}

void CPage::EnableControlStyles() {
  if (!m_hWnd) return;
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | DS_CONTROL);
  ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

HBRUSH CPage::WhiteBrush() {
  if (!m_hWhiteBrush) m_hWhiteBrush = ::CreateSolidBrush(RGB(255, 255, 255));
  return m_hWhiteBrush;
}

bool CPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      *result = reinterpret_cast<INT_PTR>(WhiteBrush());
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        *result = 0;
        return true;
      }
      return false;
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (!dc) {
        *result = -1;
        return true;
      }
      RECT client;
      ::GetClientRect(m_hWnd, &client);
      ::FillRect(dc, &client, WhiteBrush());
      PrintChildWindows(m_hWnd, dc, lParam);
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace zor
