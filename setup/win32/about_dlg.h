// CAboutDlg: the about box of the wizard's system menu (template 100).
#pragma once

#include "resource_ids.h"
#include "setup/win32/win_app.h"

namespace zor {

class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) override {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(LOWORD(wParam));
      *result = 0;
      return true;
    }
    return false;
  }
};

}  // namespace zor
