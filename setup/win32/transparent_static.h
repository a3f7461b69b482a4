// CTransparentStatic: a label that draws its text in white straight onto
// whatever lies behind it (the flash page's picture), for the screen and
// for print-client requests alike, so the fade-in and the page-turn capture
// show the same text.
#pragma once

#include "setup/win32/static_control.h"

namespace zor {

class CTransparentStatic : public CStatic {
 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Draw(HDC dc) override;
};

}  // namespace zor
