// CDialogWizard: the wizard frame (template 137).
// Interface placeholder; the frame itself is still to be written.
#pragma once

#include "resource_ids.h"
#include "setup/startup.h"
#include "setup/win32/win_app.h"

namespace zor {

class CDialogWizard : public CDialog {
 public:
  // `app` gives the install folder, the product version and the rotator.
  explicit CDialogWizard(CSetupStartup* app) : CDialog(IDD_WIZARD), m_pApp(app) {}
  // A repair run: starts at the install page with the maintenance step list.
  void SetMaintenanceMode() { m_nMaintenance = 1; }

 private:
  CSetupStartup* m_pApp;
  int m_nMaintenance = 0;
};

}  // namespace zor
