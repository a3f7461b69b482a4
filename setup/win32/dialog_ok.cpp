#include "setup/win32/dialog_ok.h"

namespace zor {

BOOL CDialogOK::OnInitDialog() {
  // The radio buttons are reached with Tab and the arrow keys.
  EnableControlStyles();
  ::CheckDlgButton(m_hWnd, IDC_FINISH_RESTART_NOW, BST_CHECKED);
  return TRUE;
}

bool CDialogOK::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    UINT id = LOWORD(wParam);
    if (id == IDC_FINISH_RESTART_NOW && ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) m_nRestartLater = 0;
    if (id == IDC_FINISH_RESTART_LATER && ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) m_nRestartLater = 1;
  }
  return CPage::OnMessage(message, wParam, lParam, result);
}

}  // namespace zor
