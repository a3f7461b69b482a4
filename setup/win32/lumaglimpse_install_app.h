// CLumaglimpseInstallApp: the setup program's application object. Its
// start-up is CSetupStartup's, run against the real system; the windows it
// hands over to are the Win32 ones.
#pragma once

#include "setup/startup.h"
#include "setup/win32/win_app.h"

namespace zor {

// Screen DPI divided by 96, for dialogs that place windows in pixels.
extern double g_dDpiScaleX;
extern double g_dDpiScaleY;
void ComputeDpiScale();

class CLumaglimpseInstallApp : public CWinApp, public CSetupStartup, private ISetupWindows {
 public:
  // The install folder (Program Files, "\Tarvex\Lumaglimpse\") and the DPI
  // factors.
  CLumaglimpseInstallApp();

  bool InitInstance() override;

 private:
  // The wizard, modally.
  void RunFreshInstall() override;
  // The maintenance dialog for the registered folder (already the install
  // folder) and language.
  void RunMaintenance() override;
};

}  // namespace zor
