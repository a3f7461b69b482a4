// CDpiBmpStatic: a picture control that stretches its bitmap to its own
// size, so a picture made for 96 DPI fills its place at any resolution
// (the wizard's header).
#pragma once

#include "setup/win32/static_control.h"

namespace zor {

class CDpiBmpStatic : public CStatic {
 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Draw(HDC dc) override;
};

}  // namespace zor
