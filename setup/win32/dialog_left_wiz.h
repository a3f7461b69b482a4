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

}  // namespace zor
