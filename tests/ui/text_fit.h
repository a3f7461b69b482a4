// Measures a control's text the way the control itself draws it (its own
// font, its own line breaking) against the room the control offers.
#ifndef ZOR_TESTS_UI_TEXT_FIT_H
#define ZOR_TESTS_UI_TEXT_FIT_H

#include <windows.h>

#include <string>

#include "tests/ui/expected_layout.h"

namespace zor::ui_check {

struct TextFit {
  bool fits = true;
  SIZE needed{};     // pixels the text takes
  SIZE available{};  // pixels the control gives it
};

// fit says how the control lays the text out; text is measured as given
// (with its '&' mnemonic marks), not the control's current text.
TextFit MeasureText(HWND control, Fit fit, const std::wstring& text);

}  // namespace zor::ui_check

#endif
