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

void CDialogLeftWiz::SelectStep(int n) {
  std::optional<std::vector<StepRowState>> rows = StepListStates(kRows, n);
  if (!rows || !m_hWnd) return;
  for (int row = 0; row < kRows; ++row) {
    const StepRowState& state = (*rows)[static_cast<size_t>(row)];
    ::SendDlgItemMessageW(m_hWnd, IDC_STEP_ICON1 + row, STM_SETICON, reinterpret_cast<WPARAM>(StepIcon(state.icon)),
                          0);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_STEP_LABEL1 + row), state.labelEnabled);
  }
}

}  // namespace zor
