#include "setup/win32/install_frame.h"

#include "setup/win32/setup_resource.h"

namespace zor {

CInstallFrame::CInstallFrame(CSetupStartup* app, HINSTANCE resources)
    : CDialog(IDD_INSTALL_FRAME, ::GetModuleHandleW(nullptr)),
      m_strings(reinterpret_cast<Host::Module>(resources)),
      m_page(app, resources) {}

BOOL CInstallFrame::OnInitDialog() {
  ::SetWindowTextW(m_hWnd, m_strings.GetString(kIdsCaption).c_str());
  std::wstring finish = m_strings.GetString(kIdsFinish);
  if (!finish.empty()) ::SetDlgItemTextW(m_hWnd, IDOK, finish.c_str());
  ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
  if (!m_page.Create(m_hWnd)) {
    // Without its page the frame has nothing to run.
    m_bFinished = true;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
    return TRUE;
  }
  ::SetWindowPos(m_page.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  return TRUE;
}

void CInstallFrame::Close() {
  if (m_bFinished) EndDialog(IDOK);
}

bool CInstallFrame::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
  switch (message) {
    case kMsgNextPage: {
      // The installation is done: the page shows how it went until the
      // user closes the frame.
      m_bFinished = true;
      HWND finish = ::GetDlgItem(m_hWnd, IDOK);
      ::EnableWindow(finish, TRUE);
      ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(finish), TRUE);
      *result = 0;
      return true;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        Close();
        *result = 0;
        return true;
      }
      return false;
    case WM_CLOSE:
      Close();
      *result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace zor
