// Our own reader for initialization-file sections, for hosts without the
// system's profile API. It gives the same results as GetPrivateProfileSectionW.
#pragma once

#include <cstddef>
#include <string>

namespace zor {

// Decodes `fileBytes` (UTF-16 or UTF-8 with a byte-order mark, otherwise
// 8-bit text in Windows-1252), finds `section` (ASCII letters compared without
// case) and writes its lines into `buffer` as the system call does. Returns the
// characters written without the final zero; a list that does not fit, or
// just fits, gives `capacity - 2`.
size_t FormatProfileSection(const std::string& fileBytes, const std::wstring& section, wchar_t* buffer,
                            size_t capacity);

}  // namespace zor
