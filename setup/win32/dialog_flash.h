// CDialogFlash: the flash page (template 136), a picture over the whole
// wizard window for the first two seconds of an installation, with a
// thanks line and the product version. It ends itself once, by its timer or
// a click, by sending kMsgFlashDone to the wizard.
#pragma once

#include <string>

#include "resource_ids.h"
#include "setup/win32/transparent_static.h"
#include "setup/win32/win_app.h"

namespace zor {

// Sent to the parent when the flash page is done; answered with 0.
constexpr UINT kMsgFlashDone = WM_USER + 300;

class CDialogFlash : public CDialog {
 public:
  CDialogFlash() : CDialog(IDD_FLASH) {}

  // The size the background is drawn at for a print-client request: the
  // wizard's window width and height - 25, set before the wizard shows.
  void SetPrintSize(int width, int height) {
    m_nPrintWidth = width;
    m_nPrintHeight = height;
  }
  // Set before the page is created.
  void SetVersion(const std::wstring& version) { m_strVersion = version; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void Done();
  void DrawBackground(HDC dc, int width, int height);

  int m_nPrintWidth = 0;
  int m_nPrintHeight = 0;
  std::wstring m_strVersion;
  CTransparentStatic m_stcThanks;
  CTransparentStatic m_stcVersion;
  bool m_bDone = false;
};

}  // namespace zor
