#include "setup/win32/dialog_repair.h"

#include <utility>

#include "resource_ids.h"
#include "setup/win32/dialog_wizard.h"

namespace zor {

CDialogRepair::CDialogRepair(CSetupStartup* app, std::wstring installDir)
    : CDialog(IDD_REPAIR), m_pApp(app), m_strInstallDir(std::move(installDir)) {}

BOOL CDialogRepair::OnInitDialog() {
  ReadRegisteredLanguage();
  ::CheckRadioButton(m_hWnd, IDC_REPAIR_REPAIR, IDC_REPAIR_UNINSTALL, IDC_REPAIR_REPAIR);
  CenterWindow();
  return TRUE;
}

bool CDialogRepair::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnNext();
      *result = 0;
      return true;
    case IDCANCEL:
      EndDialog(IDCANCEL);
      *result = 0;
      return true;
    default:
      return false;
  }
}

void CDialogRepair::OnNext() {
  MaintenanceChoice choice;
  if (::IsDlgButtonChecked(m_hWnd, IDC_REPAIR_REPAIR) == BST_CHECKED)
    choice = MaintenanceChoice::kRepair;
  else if (::IsDlgButtonChecked(m_hWnd, IDC_REPAIR_UNINSTALL) == BST_CHECKED)
    choice = MaintenanceChoice::kUninstall;
  else
    return;
  // Ended (and so hidden) first: the wizard or the uninstaller takes over
  // the screen, and this dialog must not stay behind them.
  EndDialog(IDOK);
  CarryOutMaintenance(choice, m_strInstallDir, *this, m_pApp->m_strings);
}

void CDialogRepair::RunRepair() {
  CDialogWizard wizard(m_pApp);
  wizard.SetMaintenanceMode();
  wizard.DoModal(nullptr);
}

}  // namespace zor
