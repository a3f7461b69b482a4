#include "setup/win32/dialog_wizard.h"

#include <algorithm>
#include <climits>

#include "setup/install_folder_check.h"
#include "setup/payloads.h"
#include "setup/restart.h"
#include "setup/setup_globals.h"
#include "setup/wizard_flow.h"
#include "setup/win32/about_dlg.h"
#include "setup/win32/lumaglimpse_install_app.h"
#include "setup/win32/print_children.h"
#include "setup/win32/win32_shutdown.h"

#include "setup/win32/agreement_print.h"

namespace zor {

namespace {
constexpr UINT kAboutCommand = 0x10;
constexpr UINT kFadeMs = 1000;
constexpr int kTurnMs = 800;
// Where the wizard waits while the rotator draws the turn over it.
constexpr int kOffScreenX = 3000;

int ScaleX(double units) { return static_cast<int>(units * g_dDpiScaleX); }
int ScaleY(double units) { return static_cast<int>(units * g_dDpiScaleY); }

void Apply(HWND control, Change enabled, Change visible) {
  if (!control) return;
  if (enabled != Change::kKeep) ::EnableWindow(control, enabled == Change::kOn);
  if (visible != Change::kKeep) ::ShowWindow(control, visible == Change::kOn ? SW_SHOW : SW_HIDE);
}
}  // namespace

CDialogWizard::CDialogWizard(CSetupStartup* app)
    : CDialog(IDD_WIZARD),
      m_pApp(app),
      m_dlgInstall(app),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CDialogWizard::~CDialogWizard() {
  if (!m_hLangModule) return;
  // Never leave the resource source on a module that is about to go.
  HINSTANCE own = reinterpret_cast<HINSTANCE>(m_hLangModule);
  if (AfxGetResourceHandle() == own) AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(m_pApp->m_hLangModule));
  if (m_pApp->m_strings.GetModule() == m_hLangModule) m_pApp->m_strings.SetModule(m_pApp->m_hLangModule);
  CurrentHost().UnloadModule(m_hLangModule);
}

std::wstring CDialogWizard::String(uint32_t id) { return m_pApp->m_strings.GetString(id); }

int CDialogWizard::ButtonRowTop() const {
  RECT line;
  HWND separator = ::GetDlgItem(m_hWnd, IDC_WIZARD_SEPARATOR);
  if (!separator || !::GetWindowRect(separator, &line)) return INT_MAX;
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&line), 2);
  return line.top;
}

// The rectangles are in pixels while the frame's buttons are in dialog
// units, which follow the font: where the font is smaller than the one the
// pixels were chosen for (a substitute for Tahoma, say), a page would reach
// over the button row and hide the lower half of Next and Cancel. So a page
// ends at the separator above the buttons.
RECT CDialogWizard::PageRect() const {
  int x = ScaleX(175), y = ScaleY(55);
  return {x, y, x + ScaleX(399), std::min(y + ScaleY(328), ButtonRowTop())};
}

RECT CDialogWizard::StepListRect() const {
  int y = ScaleY(55);
  return {0, y, ScaleX(175), std::min(y + ScaleY(328), ButtonRowTop())};
}

CPage* CDialogWizard::PageAt(int index) {
  switch (index) {
    case kPageWelcome: return &m_dlgFirst;
    case kPageAgreement: return &m_dlgSecond;
    case kPageLanguage: return &m_dlgSelLang;
    case kPageInstall: return &m_dlgInstall;
    case kPageFinish: return &m_dlgOK;
    default: return nullptr;
  }
}

void CDialogWizard::ShowPageWindow(CPage& page, const RECT& rect) {
  if (!page.GetSafeHwnd()) {
    if (!page.Create(m_hWnd)) return;
    ::SetParent(page.GetSafeHwnd(), m_hWnd);
  }
  ::SetWindowPos(page.GetSafeHwnd(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(page.GetSafeHwnd(), SW_SHOW);
}

BOOL CDialogWizard::OnInitDialog() {
  std::wstring about = String(kIdsAbout);
  if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE); menu && !about.empty()) {
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kAboutCommand, about.c_str());
  }
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_btnNext = ::GetDlgItem(m_hWnd, IDOK);
  m_btnCancel = ::GetDlgItem(m_hWnd, IDCANCEL);
  m_stcHeader.SubclassDlgItem(IDC_WIZARD_HEADER, m_hWnd);

  if (m_nMaintenance == 1) {
    ShowPageWindow(m_dlgLeftWizRepair, StepListRect());
    m_nPage = kPageInstall;
    ShowPage();
  } else {
    for (int id : {IDC_WIZARD_HEADER, IDC_WIZARD_SEPARATOR, IDC_WIZARD_BACK, IDOK, IDCANCEL})
      ::ShowWindow(::GetDlgItem(m_hWnd, id), SW_HIDE);
    m_dlgFlash.SetVersion(m_pApp->m_strVersion);
    if (m_dlgFlash.Create(m_hWnd)) {
      RECT window;
      ::GetWindowRect(m_hWnd, &window);
      int w = window.right - window.left, h = window.bottom - window.top;
      m_dlgFlash.SetPrintSize(w, h - 25);
      ::SetWindowPos(m_dlgFlash.GetSafeHwnd(), nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
      // Without its flash page the wizard still has to reach the welcome
      // page.
      ::PostMessageW(m_hWnd, kMsgFlashDone, 0, 0);
    }
  }

  CenterWindow();
  return TRUE;
}

void CDialogWizard::OnFlashDone() {
  if (m_nPage != kPageFlash) return;
  IWindowRotator* rotator = m_pApp->m_renderer.Rotator();
  WindowHandle self = reinterpret_cast<WindowHandle>(m_hWnd);
  RECT saved = {};
  if (rotator) {
    rotator->CaptureStartPicture(self);
    rotator->ShowOverlay();
    ::GetWindowRect(m_hWnd, &saved);
    ::SetWindowPos(m_hWnd, nullptr, kOffScreenX, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (HWND flash = m_dlgFlash.GetSafeHwnd()) ::ShowWindow(flash, SW_HIDE);
  for (int id : {IDC_WIZARD_HEADER, IDC_WIZARD_SEPARATOR, IDC_WIZARD_BACK, IDOK, IDCANCEL})
    ::ShowWindow(::GetDlgItem(m_hWnd, id), SW_SHOW);
  ShowPageWindow(m_dlgLeftWiz, StepListRect());
  NextPage();
  if (rotator) {
    rotator->CaptureEndPicture(self);
    rotator->PlayTurn(kTurnMs, 1, 0, 0, 0);
    ::SetWindowPos(m_hWnd, nullptr, saved.left, saved.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    rotator->HideOverlay();
  }
}

void CDialogWizard::NextPage() {
  ++m_nPage;
  ShowPage();
}

void CDialogWizard::PreviousPage() {
  --m_nPage;
  ShowPage();
}

void CDialogWizard::SwitchLanguage() {
  Host::Module module = LoadLanguageModule(m_pApp->m_languageFolder, g_nLangIndex);
  if (!module) return;  // the installation goes on in the language in force
  Host::Module previous = m_hLangModule;
  m_hLangModule = module;
  AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(module));
  m_pApp->m_strings.SetModule(module);
  if (previous) CurrentHost().UnloadModule(previous);
}

bool CDialogWizard::LeaveLanguagePage() {
  if (!AcceptInstallFolder(m_pApp->m_strInstallDir)) {
    ::MessageBoxW(m_hWnd, String(kIdsInvalidFolder).c_str(), String(kIdsCaption).c_str(), MB_OK);
    m_nPage = kPageLanguage;
    // A repair has no language page to choose another folder on: the
    // registered folder cannot be used, so the repair ends here, with
    // nothing changed, instead of leaving an empty frame.
    if (m_nMaintenance == 1) EndDialog(IDCANCEL);
    return false;
  }
  SwitchLanguage();
  return true;
}

void CDialogWizard::ShowPage() {
  std::optional<WizardPageState> state = PageStateFor(m_nPage, m_nMaintenance == 1);
  if (!state) return;
  if (m_nPage == kPageInstall && !LeaveLanguagePage()) return;

  Apply(::GetDlgItem(m_hWnd, IDC_WIZARD_BACK), state->backEnabled, state->backVisible);
  Apply(::GetDlgItem(m_hWnd, IDC_WIZARD_PRINT), state->printEnabled, state->printVisible);
  Apply(m_btnNext, state->nextEnabled, Change::kKeep);
  Apply(m_btnCancel, state->cancelEnabled, state->cancelVisible);
  for (int index : state->hide)
    if (HWND page = PageAt(index)->GetSafeHwnd()) ::ShowWindow(page, SW_HIDE);
  if (state->nextTextId) ::SetWindowTextW(m_btnNext, String(state->nextTextId).c_str());
  if (state->cancelTextId) ::SetWindowTextW(m_btnCancel, String(state->cancelTextId).c_str());
  // Before the install page appears: its creation starts the installation.
  if (state->focusNext) ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_btnNext), TRUE);
  if (state->maintenanceList)
    m_dlgLeftWizRepair.SelectStep(state->step);
  else
    m_dlgLeftWiz.SelectStep(state->step);
  ShowPageWindow(*PageAt(state->show), PageRect());
}

void CDialogWizard::OnNext() {
  // Enter while Next is locked, or on the flash page where it is hidden.
  if (!::IsWindowEnabled(m_btnNext) || !::IsWindowVisible(m_btnNext)) return;
  int length = ::GetWindowTextLengthW(m_btnNext);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(m_btnNext, &text[0], length + 1)));
  const int* restartLater = m_dlgOK.GetSafeHwnd() ? &m_dlgOK.m_nRestartLater : nullptr;
  switch (DecideNext(m_nPage, text, String(kIdsFinish), restartLater)) {
    case NextAction::kNextPage: NextPage(); break;
    case NextAction::kClose: EndDialog(IDCANCEL); break;
    case NextAction::kRestart: {
      // A refused restart leaves the finish page; Finish can be pressed again.
      CWin32ShutdownApi api;
      RestartComputer(api);
      break;
    }
  }
}

void CDialogWizard::RequestClose() {
  if (m_nPage == kPageInstall && m_dlgInstall.GetSafeHwnd()) {
    m_bCloseHeld = true;
    return;
  }
  EndDialog(IDCANCEL);
}

bool CDialogWizard::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_WIZARD_BACK:
          if (HWND back = ::GetDlgItem(m_hWnd, IDC_WIZARD_BACK); ::IsWindowEnabled(back) && ::IsWindowVisible(back))
            PreviousPage();
          break;
        case IDOK: OnNext(); break;
        case IDCANCEL:
          // Escape while Cancel is locked (installing, finished) does
          // nothing; the close box still asks to close.
          if (::IsWindowEnabled(m_btnCancel)) RequestClose();
          break;
        case IDC_WIZARD_PRINT: {
          const std::wstring& text = m_dlgSecond.GetAgreementText();
          PrintAgreementText(text.c_str(), static_cast<int>(text.size()));
          break;
        }
        default: return false;
      }
      *result = 0;
      return true;
    case kMsgFlashDone:
      OnFlashDone();
      *result = 0;
      return true;
    case kMsgNextPage:
      if (m_nPage != kPageInstall) return false;
      if (m_bCloseHeld)
        EndDialog(IDCANCEL);
      else
        NextPage();
      *result = 0;
      return true;
    case WM_SHOWWINDOW:
      if (wParam && m_nPage == kPageFlash && !m_bFaded) {
        m_bFaded = true;
        ::AnimateWindow(m_hWnd, kFadeMs, AW_BLEND);
      }
      return false;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kAboutCommand) {
        CAboutDlg about;
        about.DoModal(m_hWnd);
      } else if ((wParam & 0xFFF0) == SC_CLOSE) {
        RequestClose();
      } else {
        return false;
      }
      *result = 0;
      return true;
    case WM_CLOSE:
      RequestClose();
      *result = 0;
      return true;
    case WM_PRINTCLIENT:
      // The background has been erased into the context already.
      if (!wParam) {
        *result = -1;
        return true;
      }
      PrintChildWindows(m_hWnd, reinterpret_cast<HDC>(wParam), lParam);
      *result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace zor
