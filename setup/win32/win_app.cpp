#include "setup/win32/win_app.h"

namespace zor {

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  if (!m_pMainWnd) return 0;
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetResourceHandle() {
  return g_resourceHandle ? g_resourceHandle : (g_app ? g_app->m_hInstance : ::GetModuleHandleW(nullptr));
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceHandle = module; }

CDialog::~CDialog() {
  if (m_hWnd && !m_bModal) ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal(HWND owner) {
  m_bModal = true;
  return ::DialogBoxParamW(TemplateModule(), MAKEINTRESOURCEW(m_nTemplateId), owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
  m_bModal = false;
  return ::CreateDialogParamW(TemplateModule(), MAKEINTRESOURCEW(m_nTemplateId), parent, &CDialog::DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
  if (!m_hWnd) return;
  if (m_bModal)
    ::EndDialog(m_hWnd, result);
  else
    ::DestroyWindow(m_hWnd);
}

void CDialog::CenterWindow() {
  RECT window;
  RECT work;
  if (!m_hWnd || !::GetWindowRect(m_hWnd, &window) || !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    return;
  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = work.left + ((work.right - work.left) - width) / 2;
  int y = work.top + ((work.bottom - work.top) - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x > work.left ? x : work.left, y > work.top ? y : work.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->m_hWnd = window;
    return self->OnInitDialog();
  }
  self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    self->m_hWnd = nullptr;
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
    return FALSE;
  }
  INT_PTR result = 0;
  if (!self->OnMessage(message, wParam, lParam, &result)) return FALSE;
  // Messages whose answer is the return value itself rather than a window
  // result.
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORMSGBOX:
      return result;
    default:
      ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

}  // namespace zor
