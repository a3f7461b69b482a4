// CDialogLeftWiz: the step list on the wizard's left (template 138), five
// rows of an icon and a label that show which step the installation is at.
#pragma once

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogLeftWiz : public CPage {
 public:
  CDialogLeftWiz() : CPage(IDD_STEP_LIST) {}

  // n = 1 to 5: rows before n done, row n current, later rows pending with
  // their labels disabled; 5 marks every row done. Other values change
  // nothing.
  void SelectStep(int n);

 protected:
  BOOL OnInitDialog() override;
};

// The step-state icon `id` (147, 148, 149) from the program itself, never
// from a language module; shared, so never destroyed.
HICON StepIcon(UINT id);

// Shows step `step` on the `rows` rows of a step list in `page`, whose
// icons and labels are the controls `icons[row]` and `labels[row]`; a step
// outside the list changes nothing.
void ShowStepRows(HWND page, const int* icons, const int* labels, int rows, int step);

}  // namespace zor
