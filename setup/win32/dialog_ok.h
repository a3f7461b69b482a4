// CDialogOK: the finish page (template 146): restart the computer now (the
// default) or later.
#pragma once

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogOK : public CPage {
 public:
  CDialogOK() : CPage(IDD_FINISH) {}

  // 0: restart now; 1: restart later.
  int m_nRestartLater = 0;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
};

}  // namespace zor
