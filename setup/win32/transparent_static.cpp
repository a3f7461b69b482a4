#include "setup/win32/transparent_static.h"

#include <string>

#include "setup/label_format.h"

namespace zor {

void CTransparentStatic::Draw(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int length = ::GetWindowTextLengthW(m_hWnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
  HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(255, 255, 255));
  UINT style = static_cast<UINT>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
  ::DrawTextW(dc, text.c_str(), length, &client, TransparentLabelFormat(style));
  if (previous) ::SelectObject(dc, previous);
}

bool CTransparentStatic::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (HandleDrawing(message, wParam, result)) return true;
  switch (message) {
    case WM_ERASEBKGND:
      // The picture behind stays; only the text is drawn over it.
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace zor
