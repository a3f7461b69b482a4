// <windows.h> for code that also names the seam's operations.
//
// <windows.h> maps CreateDirectory, DeleteFile, MoveFile, MessageBox and the
// registry calls to their W forms; the seam's operations carry the plain
// names, so those macros are lifted here. Call the system's functions by their
// W names (CreateDirectoryW ...) after including this header.
#pragma once

#include <windows.h>

#undef CreateDirectory
#undef DeleteFile
#undef MoveFile
#undef MessageBox
#undef RegOpenKey
#undef RegCreateKey
#undef RegSetValue
#undef RegQueryValue
#undef RegDeleteValue
