// CDialogSelLang: the language and destination page (template 133).
// Interface placeholder; the page itself is still to be written.
#pragma once

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDialogSelLang : public CPage {
 public:
  CDialogSelLang() : CPage(IDD_SELECT_LANGUAGE) {}
};

}  // namespace zor
