// Our own reader for initialization-file sections, for hosts without the
// system's profile API. It gives the same results as GetPrivateProfileSectionW.
#pragma once

#include <cstddef>
#include <string>

namespace zor {

// Decodes `fileBytes` (UTF-16LE with a byte-order mark, UTF-8 with one, or
// 8-bit text), finds `section` (case-insensitive) and writes its lines into
// `buffer` as the system call does. Returns the characters written without the
// final zero.
size_t FormatProfileSection(const std::string& fileBytes, const std::wstring& section, wchar_t* buffer,
                            size_t capacity);

}  // namespace zor
