// The test kit's window commands (testkit_gui.cpp); the list is at the head
// of testkit.cpp.
#ifndef LUMA_PRODUCT_TESTS_TESTKIT_GUI_H
#define LUMA_PRODUCT_TESTS_TESTKIT_GUI_H

#include <windows.h>

#include <string>

namespace luma_testkit {

// A window's text without waiting on its thread for long: GetWindowTextW
// sends WM_GETTEXT to windows of other programs, and a program busy between
// two message loops (the setup during start-up) would hold the kit with it.
std::wstring TextOf(HWND window);

// Runs a window command; false when <command> is none of them.
bool RunGuiCommand(const std::wstring& command, int argc, wchar_t** argv, int* result);

}  // namespace luma_testkit

#endif
