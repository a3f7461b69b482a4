// CDilaogFirst: the welcome page (template 130).
#pragma once

#include "resource_ids.h"
#include "setup/win32/page.h"

namespace zor {

class CDilaogFirst : public CPage {
 public:
  CDilaogFirst() : CPage(IDD_WELCOME) {}

 protected:
  BOOL OnInitDialog() override {
    EnableControlStyles();
    return TRUE;
  }
};

}  // namespace zor
