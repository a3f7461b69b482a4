#include "setup/win32/dialog_left_wiz.h"

#include "setup/wizard_flow.h"

namespace zor {

namespace {
constexpr int kRows = 5;
}  // namespace

HICON StepIcon(UINT id) {
  return static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

BOOL CDialogLeftWiz::OnInitDialog() {
  EnableControlStyles();
  return TRUE;
}

void ShowStepRows(HWND page, const int* icons, const int* labels, int rows, int step) {
  std::optional<std::vector<StepRowState>> states = StepListStates(rows, step);
  if (!states || !page) return;
  for (int row = 0; row < rows; ++row) {
    const StepRowState& state = (*states)[static_cast<size_t>(row)];
    ::SendDlgItemMessageW(page, icons[row], STM_SETICON, reinterpret_cast<WPARAM>(StepIcon(state.icon)), 0);
    ::EnableWindow(::GetDlgItem(page, labels[row]), state.labelEnabled);
  }
}

void CDialogLeftWiz::SelectStep(int n) {
  static const int kIcons[kRows] = {IDC_STEP_ICON1, IDC_STEP_ICON2, IDC_STEP_ICON3, IDC_STEP_ICON4, IDC_STEP_ICON5};
  static const int kLabels[kRows] = {IDC_STEP_LABEL1, IDC_STEP_LABEL2, IDC_STEP_LABEL3, IDC_STEP_LABEL4,
                                     IDC_STEP_LABEL5};
  ShowStepRows(m_hWnd, kIcons, kLabels, kRows, n);
}

}  // namespace zor
