// Shows a module's dialogs the way the setup puts them together (the wizard
// frame with its step list and a page, the maintenance dialog, the about
// box) and saves each as a bitmap file, so that a person can look at the
// texts in place.
#ifndef ZOR_TESTS_UI_SCREENSHOTS_H
#define ZOR_TESTS_UI_SCREENSHOTS_H

#include <windows.h>

#include <string>

namespace zor::ui_check {

// Writes DIR\CODE-<screen>.bmp for each screen; returns how many were saved.
int SaveScreens(HMODULE module, const std::string& code, const std::wstring& dir);

}  // namespace zor::ui_check

#endif
