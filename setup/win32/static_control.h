// CStatic: a label or picture control of a dialog template whose messages
// the program handles itself (subclassed), for controls that draw
// themselves differently from the system's static control.
#pragma once

#include "platform/win32/windows_api.h"

namespace zor {

class CStatic {
 public:
  CStatic() = default;
  virtual ~CStatic();
  CStatic(const CStatic&) = delete;
  CStatic& operator=(const CStatic&) = delete;

  // Takes over control `id` of `parent`; false when there is no such
  // control or it is taken already.
  bool SubclassDlgItem(UINT id, HWND parent);
  HWND GetSafeHwnd() const { return m_hWnd; }

 protected:
  // A message handled: true with `*result` set; false gives it to the
  // system's static control.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

  // For controls that draw themselves: paint requests and print-client
  // requests (the page-turn capture, the fade-in) both go to Draw, so the
  // screen and the captures show the same. True when `message` was one of
  // them; a print-client request without a context answers -1.
  bool HandleDrawing(UINT message, WPARAM wParam, LRESULT* result);
  virtual void Draw(HDC) {}

  HWND m_hWnd = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
};

}  // namespace zor
