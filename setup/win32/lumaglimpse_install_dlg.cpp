#include "setup/win32/lumaglimpse_install_dlg.h"

#include <commctrl.h>

#include "resource_ids.h"
#include "setup/setup_globals.h"

namespace zor {

namespace {
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 100;
}  // namespace

CLumaglimpseInstallDlg::CLumaglimpseInstallDlg(CSetupStartup* app, HINSTANCE resources)
    : CPage(IDD_INSTALL, resources),
      m_strings(reinterpret_cast<Host::Module>(resources)),
      m_actions(&m_strings),
      m_pApp(app),
      m_hResources(resources) {}

BOOL CLumaglimpseInstallDlg::OnInitDialog() {
  // The texts come from where the template came from.
  m_strings.SetModule(reinterpret_cast<Host::Module>(m_hResources ? m_hResources : AfxGetResourceHandle()));
  EnableControlStyles();
  ::SendDlgItemMessageW(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETSTEP, 1, 0);
  m_strInstallDir = m_pApp->m_strInstallDir;
  // The installation starts from the message loop, once the page shows.
  ::SetTimer(m_hWnd, kStartTimer, kStartDelayMs, nullptr);
  return TRUE;
}

bool CLumaglimpseInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return false;  // the system's handling as well
    default:
      return CPage::OnMessage(message, wParam, lParam, result);
  }
}

void CLumaglimpseInstallDlg::OnTimer(UINT_PTR id) {
  if (id != kStartTimer || m_bStarted) return;
  ::KillTimer(m_hWnd, kStartTimer);
  m_bStarted = true;
  m_bRunning = true;
  // The whole wizard as it now stands (locked buttons, step list, this
  // page) is drawn before the steps start: from here on the window is
  // repainted only while files are unpacked.
  ::RedrawWindow(::GetAncestor(m_hWnd, GA_ROOT), nullptr, nullptr, RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, self, MAX_PATH);
  CInstallSequence(m_extract, m_actions)
      .RunDialog(*this, self, m_strInstallDir, m_pApp->m_strVersion, g_nLangIndex, g_szResultLog);
  m_pProject = m_extract.GetProject();
  m_bRunning = false;
  if (HWND parent = ::GetParent(m_hWnd)) ::SendMessageW(parent, kMsgNextPage, 0, 0);
}

void CLumaglimpseInstallDlg::ShowStatus(uint32_t stringId) {
  ::SetDlgItemTextW(m_hWnd, IDC_INSTALL_STATUS, m_strings.GetString(stringId).c_str());
  // Between the unpacking and the end no messages are handled, so the line
  // is drawn now, before its step runs, or not at all.
  ::RedrawWindow(::GetDlgItem(m_hWnd, IDC_INSTALL_STATUS), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // Where windows draw into a surface of their own that the system shows
  // later (Wine's), a look at the queue brings the drawing to the screen;
  // nothing is taken from the queue.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

void CLumaglimpseInstallDlg::SetProgressRange(int32_t upper) {
  ::SendDlgItemMessageW(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETRANGE32, 0, upper);
  ::SendDlgItemMessageW(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETPOS, 0, 0);
}

void CLumaglimpseInstallDlg::StepProgress() {
  ::SendDlgItemMessageW(m_hWnd, IDC_INSTALL_PROGRESS, PBM_STEPIT, 0, 0);
}

void CLumaglimpseInstallDlg::PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to take: the loop that owns the thread must still see it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void CLumaglimpseInstallDlg::ShowMessage(uint32_t stringId) {
  ::MessageBoxW(m_hWnd, m_strings.GetString(stringId).c_str(), m_strings.GetString(kIdsCaption).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

}  // namespace zor
