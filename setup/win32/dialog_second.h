// CDialogSecond: the agreement page (template 131): a language list of its
// own, independent of the interface language, and the chosen language's
// agreement in a read-only field.
#pragma once

#include <string>

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogSecond : public CPage {
 public:
  CDialogSecond() : CPage(IDD_AGREEMENT) {}
  // The text shown (what the wizard's Print button prints).
  const std::wstring& GetAgreementText() const { return m_strAgreement; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  // The text for the list's selection; a missing agreement leaves the field.
  void LoadText();

  std::wstring m_strAgreement;    // shown in edit 1003
  HWND m_ctrlLanguage = nullptr;  // drop-down list 1007
};

}  // namespace zor
