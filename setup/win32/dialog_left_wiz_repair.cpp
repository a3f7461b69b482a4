#include "setup/win32/dialog_left_wiz_repair.h"

#include "resource_ids.h"
#include "setup/maintenance.h"

namespace zor {

namespace {

const int kRowIcons[2] = {IDC_REPAIR_STEP_ICON1, IDC_REPAIR_STEP_ICON2};
const int kRowLabels[2] = {IDC_REPAIR_STEP_LABEL1, IDC_REPAIR_STEP_LABEL2};

HICON OwnIcon(UINT id) { return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

}  // namespace

CDialogLeftWizRepair::CDialogLeftWizRepair() : CPage(IDD_REPAIR_STEP_LIST) {}

BOOL CDialogLeftWizRepair::OnInitDialog() {
  EnableControlStyles();
  m_hIconDone = OwnIcon(IDI_STEP_DONE);
  m_hIconCurrent = OwnIcon(IDI_STEP_CURRENT);
  m_hIconPending = OwnIcon(IDI_STEP_PENDING);
  return TRUE;
}

void CDialogLeftWizRepair::SelectStep(int step) {
  if (!m_hWnd) return;
  std::optional<std::array<RepairStepRow, 2>> rows = RepairStepRows(step);
  if (!rows) return;
  for (size_t i = 0; i < rows->size(); ++i) {
    const RepairStepRow& row = (*rows)[i];
    HICON icon = row.icon == IDI_STEP_DONE ? m_hIconDone : row.icon == IDI_STEP_CURRENT ? m_hIconCurrent : m_hIconPending;
    // A missing icon would blank the control; it keeps its last one instead.
    if (icon) ::SendDlgItemMessageW(m_hWnd, kRowIcons[i], STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (HWND label = ::GetDlgItem(m_hWnd, kRowLabels[i])) ::EnableWindow(label, row.labelEnabled ? TRUE : FALSE);
  }
}

}  // namespace zor
