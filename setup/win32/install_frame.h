// The plain modal frame that hosts the install page on its own: a small
// top-level dialog captioned with string 102, holding the page and a button.
// The installation cannot be interrupted, so the button and the close box
// only close the frame once the page has finished; the frame closes by
// itself when the page asks for the next page.
#pragma once

#include "setup/module_strings.h"
#include "setup/win32/lumaglimpse_install_dlg.h"
#include "setup/win32/win_app.h"

namespace zor {

class CInstallFrame : public CDialog {
 public:
  // `resources` is the current resource source: the page's template and
  // every text come from it. The frame's own template is the program's.
  CInstallFrame(CSetupStartup* app, HINSTANCE resources);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void Close();

  CModuleStrings m_strings;
  CLumaglimpseInstallDlg m_page;
  bool m_bFinished = false;
};

}  // namespace zor
