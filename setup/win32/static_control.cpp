#include "setup/win32/static_control.h"

#include <commctrl.h>

namespace zor {

namespace {
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

CStatic::~CStatic() {
  if (m_hWnd) ::RemoveWindowSubclass(m_hWnd, &CStatic::SubclassProc, kSubclassId);
}

bool CStatic::SubclassDlgItem(UINT id, HWND parent) {
  if (m_hWnd) return false;
  HWND control = ::GetDlgItem(parent, static_cast<int>(id));
  if (!control || !::SetWindowSubclass(control, &CStatic::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  m_hWnd = control;
  return true;
}

bool CStatic::HandleDrawing(UINT message, WPARAM wParam, LRESULT* result) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(m_hWnd, &paint);
      if (dc) Draw(dc);
      ::EndPaint(m_hWnd, &paint);
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      if (!wParam) {
        *result = -1;
        return true;
      }
      Draw(reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK CStatic::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  CStatic* self = reinterpret_cast<CStatic*>(data);
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, &CStatic::SubclassProc, kSubclassId);
    self->m_hWnd = nullptr;
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->OnMessage(message, wParam, lParam, &result)) return result;
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zor
