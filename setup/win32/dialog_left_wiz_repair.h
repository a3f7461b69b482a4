// CDialogLeftWizRepair: the maintenance step list (template 156), the
// two-row list the wizard shows on its left during a repair run:
// "Repair installation..." and "Installation is successfully repaired".
//
// The wizard owns one as a member and, in maintenance mode only:
//   - creates it as its child when it opens: Create(wizardWindow), then
//     shows it and places it in the step-list rectangle (x 0, y 55·sy,
//     175·sx by 328·sy pixels) without changing the z-order;
//   - calls SelectStep(1) when the install page starts and SelectStep(2)
//     when it shows the finish page.
// The pane ignores its own OK and Cancel and is painted white (CPage).
#pragma once

#include "setup/win32/page.h"

namespace zor {

class CDialogLeftWizRepair : public CPage {
 public:
  CDialogLeftWizRepair();

  // 1: the repair is running (first row current, second pending and
  // greyed). 2: repaired (both rows done). Other values, or a pane whose
  // window does not exist yet, change nothing. The icons are the
  // program's own (147 done, 148 current, 149 pending), whichever module
  // the template came from.
  void SelectStep(int step);

 protected:
  BOOL OnInitDialog() override;
};

}  // namespace zor
