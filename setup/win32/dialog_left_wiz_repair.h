// CDialogLeftWizRepair: the two-row step list of a repair run (template
// 156). Interface placeholder so the wizard's repair mode links; the pane
// itself belongs with the maintenance dialogs.
#pragma once

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogLeftWizRepair : public CPage {
 public:
  CDialogLeftWizRepair() : CPage(IDD_REPAIR_STEP_LIST) {}
  void SelectStep(int) {}
};

}  // namespace zor
