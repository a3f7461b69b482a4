// CDialogSecond: the agreement page (template 131).
// Interface placeholder; the page itself is still to be written.
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

 private:
  std::wstring m_strAgreement;
};

}  // namespace zor
