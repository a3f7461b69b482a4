// Drawing a window's children into a print-client context.
//
// The page turn captures the wizard by asking it to draw itself into a
// memory context (PrintWindow, WM_PRINT). Not every system passes that
// request on to the child windows (Wine draws only the window asked), and a
// frame whose pages and buttons are missing is captured as an empty grey
// rectangle. Windows that hold children therefore draw them themselves
// when they answer the print-client request; where the system also does,
// the children are simply drawn twice, to the same result.
#pragma once

#include "platform/win32/windows_api.h"

namespace zor {

// Every visible child of `parent`, bottom of the z-order first, drawn at
// its place into `dc` (which shows `parent`'s client area), with its frame,
// background and own children, when `flags` (those of the print-client
// request) ask for children. A request for `parent` made while its children
// are being drawn draws nothing more.
void PrintChildWindows(HWND parent, HDC dc, LPARAM flags);

}  // namespace zor
