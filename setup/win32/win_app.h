// A small application and dialog framework of our own for the setup
// program: one application object whose InitInstance does the work, and
// dialogs built from resource templates whose messages go to virtual
// handlers.
#pragma once

#include "platform/win32/windows_api.h"

namespace zor {

class CWinApp {
 public:
  // The one application object registers itself; it must be a global.
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start-up. False: the process ends at once. True: Run() follows.
  virtual bool InitInstance() { return false; }
  // The message loop while a main window exists; without one there is
  // nothing to wait for and it returns at once.
  virtual int Run();

  HINSTANCE m_hInstance = nullptr;
  const wchar_t* m_lpCmdLine = L"";  // the text after the program name
  HWND m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
// Where dialog templates and strings are loaded from: the program itself
// until a language module is made the source.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// A dialog from a resource template. The object outlives its window.
class CDialog {
 public:
  // `templateModule` null: the template comes from the current resource
  // source as it is when the window is made (DoModal, Create), so a page
  // created after a language switch speaks the new language.
  explicit CDialog(UINT templateId, HINSTANCE templateModule = nullptr)
      : m_nTemplateId(templateId), m_hTemplateModule(templateModule) {}
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Modal: returns the EndDialog result, or -1 when the window could not
  // be made.
  INT_PTR DoModal(HWND owner);
  // Modeless (a child page): false when the window could not be made.
  bool Create(HWND parent);
  void EndDialog(INT_PTR result);

  HWND GetSafeHwnd() const { return m_hWnd; }
  // Centres the window on the work area, never past its top-left corner
  // (a template's own origin would put it in the screen's corner).
  void CenterWindow();
  UINT GetTemplateId() const { return m_nTemplateId; }

 protected:
  // TRUE lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // A message the dialog handles: true with `*result` set; false passes it
  // on to the system's dialog handling.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

  HWND m_hWnd = nullptr;

 private:
  HINSTANCE TemplateModule() const { return m_hTemplateModule ? m_hTemplateModule : AfxGetResourceHandle(); }
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_nTemplateId;
  HINSTANCE m_hTemplateModule;
  bool m_bModal = false;
};

}  // namespace zor
