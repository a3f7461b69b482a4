// CPage: what every child page of the wizard shares (the welcome,
// agreement, language, install and finish pages and both step lists).
//
// - The page and its controls are painted white, with one brush per window
//   made on first use and kept until the page object goes.
// - The page's own OK and Cancel commands (Enter and Escape inside it) are
//   ignored: only the wizard's buttons move between pages or close.
// - The print-client request is answered by filling the page white and
//   drawing its controls, so the page-turn capture and the fade-in, which
//   ask each window to draw itself into their own context, never see a
//   black or empty page.
#pragma once

#include "setup/win32/win_app.h"

namespace zor {

class CPage : public CDialog {
 public:
  explicit CPage(UINT templateId, HINSTANCE templateModule = nullptr) : CDialog(templateId, templateModule) {}
  ~CPage() override;

  // Turns on the control dialog style and the control-parent extended
  // style, so the keyboard moves between the wizard's buttons and the
  // page's controls.
  void EnableControlStyles();

 protected:
  // Derived pages handle their own messages first and hand the rest here.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  HBRUSH WhiteBrush();

 private:
  HBRUSH m_hWhiteBrush = nullptr;
};

}  // namespace zor
