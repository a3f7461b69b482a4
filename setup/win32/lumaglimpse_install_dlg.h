// CLumaglimpseInstallDlg: the install page. A child page (template 102)
// with a status line and a progress bar; its first timer event runs the
// dialog form of the installation sequence and then asks its parent for the
// next page.
#pragma once

#include <string>

#include "engine/extract.h"
#include "setup/install_actions.h"
#include "setup/install_sequence.h"
#include "setup/module_strings.h"
#include "setup/startup.h"
#include "setup/win32/page.h"

namespace zor {

// Sent to the page's parent when the installation has ended: the parent
// turns to its next page (the frame that hosts the page alone closes).
constexpr UINT kMsgNextPage = WM_APP + 1;

class CLumaglimpseInstallDlg : public CPage, private IInstallProgress {
 public:
  // `app` gives the install folder and version; `resources` is the module
  // the template and texts come from, null for the resource source in force
  // when the page is created (the wizard's page speaks the language chosen
  // just before).
  explicit CLumaglimpseInstallDlg(CSetupStartup* app, HINSTANCE resources = nullptr);

  bool IsRunning() const { return m_bRunning; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void OnTimer(UINT_PTR id);

  // IInstallProgress
  void ShowStatus(uint32_t stringId) override;
  void SetProgressRange(int32_t upper) override;
  void StepProgress() override;
  void PumpMessages() override;
  void ShowMessage(uint32_t stringId) override;

  CModuleStrings m_strings;
  CInstallActions m_actions;
  CMyExtract m_extract;
  CInstallProject* m_pProject = nullptr;
  std::wstring m_strInstallDir;
  CSetupStartup* m_pApp;
  HINSTANCE m_hResources;
  bool m_bStarted = false;
  bool m_bRunning = false;
};

}  // namespace zor
