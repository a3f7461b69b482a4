#include "setup/win32/dialog_flash.h"

#include <algorithm>

#include "setup/module_strings.h"
#include "setup/win32/print_children.h"

namespace zor {

namespace {
constexpr UINT_PTR kFlashTimer = 1;
constexpr UINT kFlashMs = 2000;
}  // namespace

BOOL CDialogFlash::OnInitDialog() {
  m_stcThanks.SubclassDlgItem(IDC_FLASH_THANKS, m_hWnd);
  m_stcVersion.SubclassDlgItem(IDC_FLASH_VERSION, m_hWnd);
  CModuleStrings strings(reinterpret_cast<Host::Module>(AfxGetResourceHandle()));
  ::SetDlgItemTextW(m_hWnd, IDC_FLASH_THANKS, strings.GetString(kIdsThanks).c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_FLASH_VERSION, m_strVersion.c_str());
  ::ShowWindow(::GetDlgItem(m_hWnd, IDC_FLASH_VERSION), SW_SHOW);
  ::SetTimer(m_hWnd, kFlashTimer, kFlashMs, nullptr);
  return TRUE;
}

void CDialogFlash::Done() {
  ::KillTimer(m_hWnd, kFlashTimer);
  // A click that was already queued when the timer fired must not turn a
  // second page.
  if (m_bDone) return;
  m_bDone = true;
  if (HWND parent = ::GetParent(m_hWnd)) ::SendMessageW(parent, kMsgFlashDone, 0, 0);
}

void CDialogFlash::DrawBackground(HDC dc, int width, int height) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_FLASH_BACKGROUND), IMAGE_BITMAP, 0, 0, 0));
  if (!bitmap) return;
  BITMAP info = {};
  ::GetObjectW(bitmap, sizeof(info), &info);
  if (HDC memory = ::CreateCompatibleDC(dc)) {
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
  }
  ::DeleteObject(bitmap);
}

bool CDialogFlash::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFlashTimer) Done();
      return false;
    case WM_LBUTTONDOWN:
      Done();
      return false;
    case WM_PAINT: {
      RECT window, frame = {};
      ::GetWindowRect(m_hWnd, &window);
      ::GetClientRect(::GetParent(m_hWnd), &frame);
      // The page is as large as the wizard's whole window, and 25 pixels
      // less is about its client area at 96 DPI; a taller caption (a higher
      // DPI) would leave a bare strip along the bottom, so the picture
      // reaches at least to the bottom of the wizard's client area.
      int height = std::max<int>(window.bottom - window.top - 25, frame.bottom);
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(m_hWnd, &paint);
      if (dc) DrawBackground(dc, window.right - window.left, height);
      ::EndPaint(m_hWnd, &paint);
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      if (!wParam) {
        *result = -1;
        return true;
      }
      DrawBackground(reinterpret_cast<HDC>(wParam), m_nPrintWidth, m_nPrintHeight);
      PrintChildWindows(m_hWnd, reinterpret_cast<HDC>(wParam), lParam);
      *result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      // The labels draw themselves; a system-drawn one would be white too.
      ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return false;
    default:
      return false;
  }
}

}  // namespace zor
