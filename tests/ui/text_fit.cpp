#include "tests/ui/text_fit.h"

namespace zor::ui_check {

TextFit MeasureText(HWND control, Fit fit, const std::wstring& text) {
  TextFit result;
  RECT client{};
  GetClientRect(control, &client);
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  UINT flags = DT_CALCRECT | DT_EXPANDTABS;
  const LONG style = GetWindowLongW(control, GWL_STYLE);

  switch (fit) {
    case Fit::kNone:
      return result;
    case Fit::kLabel:
      flags |= DT_WORDBREAK;
      if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
      break;
    case Fit::kPushButton: {
      // The button's raised edge and the focus rectangle inside it.
      const int margin = GetSystemMetrics(SM_CXEDGE) + 1;
      width -= 2 * margin;
      height -= 2 * (GetSystemMetrics(SM_CYEDGE) + 1);
      flags |= DT_SINGLELINE;
      break;
    }
    case Fit::kRadio:
      // The check mark and the gap between it and the text.
      width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
      flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
      break;
  }

  HDC dc = GetDC(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  RECT need{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, flags);
  if (old) SelectObject(dc, old);
  ReleaseDC(control, dc);

  result.needed = {need.right - need.left, need.bottom - need.top};
  result.available = {width, height};
  result.fits = result.needed.cx <= width && result.needed.cy <= height;
  return result;
}

}  // namespace zor::ui_check
