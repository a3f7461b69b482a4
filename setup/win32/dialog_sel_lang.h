// CDialogSelLang: the language and destination page (template 133). The
// rules are CLanguagePage's; the page moves values between them and its
// controls.
#pragma once

#include <string>

#include "resource_ids.h"
#include "setup/language_page.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogSelLang : public CPage {
 public:
  // The install folder the page keeps is the application's.
  CDialogSelLang();
  // Another install folder (not owned), for hosts without the application.
  void SetInstallFolder(std::wstring* installDir) { m_page = CLanguagePage(installDir); }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void OnSelectionChange();
  void OnFolderChange();
  void OnBrowse();

  HWND m_ctrlLanguage = nullptr;  // drop-down list 1008
  HWND m_editFolder = nullptr;    // edit 1005
  std::wstring m_strDefaultFolder;
  CLanguagePage m_page;
};

}  // namespace zor
