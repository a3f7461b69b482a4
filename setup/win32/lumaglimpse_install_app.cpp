#include "setup/win32/lumaglimpse_install_app.h"

#include <commctrl.h>

#include "setup/win32/dialog_repair.h"
#include "setup/win32/dialog_wizard.h"
#include "setup/win32/orbit_rotator_adapter.h"

namespace zor {

double g_dDpiScaleX = 1.0;
double g_dDpiScaleY = 1.0;

void ComputeDpiScale() {
  HDC screen = ::GetDC(nullptr);
  if (!screen) return;
  g_dDpiScaleX = ::GetDeviceCaps(screen, LOGPIXELSX) / 96.0;
  g_dDpiScaleY = ::GetDeviceCaps(screen, LOGPIXELSY) / 96.0;
  ::ReleaseDC(nullptr, screen);
}

CLumaglimpseInstallApp::CLumaglimpseInstallApp() { ComputeDpiScale(); }

bool CLumaglimpseInstallApp::InitInstance() {
  // The pages use the progress bar of the common controls.
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  bool result = CSetupStartup::InitInstance(m_lpCmdLine ? m_lpCmdLine : L"", *this, &MakeOrbitRotator,
                                            reinterpret_cast<WindowHandle>(::GetDesktopWindow()));
  return result;
}

void CLumaglimpseInstallApp::RunFreshInstall() {
  if (m_hLangModule) AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(m_hLangModule));
  {
    CDialogWizard wizard(this);
    wizard.DoModal(nullptr);
  }
  // The wizard is gone, and the modules it loaded with it: the program's
  // own resources again, so that the end of the run can free start-up's
  // module.
  AfxSetResourceHandle(nullptr);
}

void CLumaglimpseInstallApp::RunMaintenance() {
  if (m_hLangModule) AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(m_hLangModule));
  {
    CDialogRepair dialog(this, m_strInstallDir);
    dialog.DoModal(nullptr);
  }
  AfxSetResourceHandle(nullptr);
}

}  // namespace zor

// The one application object.
zor::CLumaglimpseInstallApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  zor::CWinApp* app = zor::AfxGetApp();
  if (!app) return 0;
  app->m_hInstance = instance;
  app->m_lpCmdLine = commandLine ? commandLine : L"";
  if (app->InitInstance()) app->Run();
  // Outcomes are reported in the result log, never through the exit code.
  return 0;
}
