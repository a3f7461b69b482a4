// Text output of the product's GUI programs to the standard streams they
// were given (a redirected file or pipe, or the console of the program that
// started them).
#pragma once

#include <windows.h>

#include <string>

namespace luma {

// Writes `text` to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE: as UTF-16 to a
// console, as UTF-8 to a file or pipe. Without a stream of its own the
// program borrows its parent's console. False when there is nowhere to write.
bool WriteStd(DWORD which, const std::wstring& text);

// The system's text for an error code, without the trailing line break.
std::wstring ErrorText(DWORD code);

std::string ToUtf8(const std::wstring& text);

}  // namespace luma
