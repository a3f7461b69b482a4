// CDialogRepair: the maintenance dialog (template 157 of the current
// resource source), shown instead of the wizard when the product is
// already installed. The user repairs the installation (the wizard in
// maintenance mode reinstalls into the registered folder) or removes it
// (the uninstaller the installation left there). It keeps the system's
// default colours: it is a top-level window, not a wizard page.
#pragma once

#include <string>

#include "setup/maintenance.h"
#include "setup/startup.h"
#include "setup/win32/win_app.h"

namespace zor {

class CDialogRepair : public CDialog, private IRepairWizard {
 public:
  // `app` serves the wizard of a repair run and the texts of the current
  // resource source; `installDir` is the registered install folder.
  CDialogRepair(CSetupStartup* app, std::wstring installDir);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void OnNext();
  void RunRepair() override;

  CSetupStartup* m_pApp;
  std::wstring m_strInstallDir;
};

}  // namespace zor
