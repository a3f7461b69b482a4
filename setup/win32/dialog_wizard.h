// CDialogWizard: the wizard frame (template 137), the one top-level window
// of an interactive installation and of a repair run. It holds the pages as
// child dialogs, the step list on its left, the header along its top and
// Print, Back, Next and Cancel along its bottom, and decides the order of
// the pages and what each button does.
#pragma once

#include "resource_ids.h"
#include "setup/startup.h"
#include "setup/win32/dialog_first.h"
#include "setup/win32/dialog_flash.h"
#include "setup/win32/dialog_left_wiz.h"
#include "setup/win32/dialog_left_wiz_repair.h"
#include "setup/win32/dialog_ok.h"
#include "setup/win32/dialog_second.h"
#include "setup/win32/dialog_sel_lang.h"
#include "setup/win32/dpi_bmp_static.h"
#include "setup/win32/lumaglimpse_install_dlg.h"
#include "setup/win32/win_app.h"

namespace zor {

class CDialogWizard : public CDialog {
 public:
  // `app` gives the install folder, the product version, the rotator and
  // the string source.
  explicit CDialogWizard(CSetupStartup* app);
  // Releases the language module the wizard loaded, after handing the
  // resource source back to start-up's module (or the program).
  ~CDialogWizard() override;

  // A repair run: starts at the install page with the maintenance step list.
  void SetMaintenanceMode() { m_nMaintenance = 1; }
  // The next page; the install page asks for it when it has finished.
  void NextPage();

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void ShowPage();
  void PreviousPage();
  // Leaving the language page: false keeps the wizard on it.
  bool LeaveLanguagePage();
  void OnNext();
  void OnFlashDone();
  // Cancel, Decline, Escape and the close command. While the installation
  // runs the request is held and carried out when it has ended.
  void RequestClose();
  void SwitchLanguage();

  CPage* PageAt(int index);
  void ShowPageWindow(CPage& page, const RECT& rect);
  RECT PageRect() const;
  RECT StepListRect() const;
  // Client y of the separator line above the buttons.
  int ButtonRowTop() const;
  std::wstring String(uint32_t id);

  CSetupStartup* m_pApp;
  CDialogLeftWiz m_dlgLeftWiz;
  CDilaogFirst m_dlgFirst;
  CDialogSecond m_dlgSecond;
  CDialogSelLang m_dlgSelLang;
  CLumaglimpseInstallDlg m_dlgInstall;
  CDialogOK m_dlgOK;
  CDialogLeftWizRepair m_dlgLeftWizRepair;
  int m_nMaintenance = 0;
  CDialogFlash m_dlgFlash;
  Host::Module m_hLangModule = 0;
  HICON m_hIcon = nullptr;
  int m_nPage = 0;
  HWND m_btnNext = nullptr;
  HWND m_btnCancel = nullptr;
  CDpiBmpStatic m_stcHeader;

  bool m_bFaded = false;
  bool m_bCloseHeld = false;
};

}  // namespace zor
