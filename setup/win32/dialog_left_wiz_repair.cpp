#include "setup/win32/dialog_left_wiz_repair.h"

#include "resource_ids.h"
#include "setup/maintenance.h"
#include "setup/win32/dialog_left_wiz.h"
#include "setup/wizard_flow.h"

namespace zor {

namespace {

const int kRowIcons[kRepairStepRows] = {IDC_REPAIR_STEP_ICON1, IDC_REPAIR_STEP_ICON2};
const int kRowLabels[kRepairStepRows] = {IDC_REPAIR_STEP_LABEL1, IDC_REPAIR_STEP_LABEL2};

}  // namespace

CDialogLeftWizRepair::CDialogLeftWizRepair() : CPage(IDD_REPAIR_STEP_LIST) {}

BOOL CDialogLeftWizRepair::OnInitDialog() {
  EnableControlStyles();
  // The template names the pending icon, but a language module does not
  // carry the step icons: without this the rows would start with none.
  for (int row = 0; row < kRepairStepRows; ++row)
    ::SendDlgItemMessageW(m_hWnd, kRowIcons[row], STM_SETICON,
                          reinterpret_cast<WPARAM>(StepIcon(kStepIconPending)), 0);
  return TRUE;
}

void CDialogLeftWizRepair::SelectStep(int step) {
  ShowStepRows(m_hWnd, kRowIcons, kRowLabels, kRepairStepRows, step);
}

}  // namespace zor
