// Wide strings in memory, UTF-16LE on disk.
//
// wchar_t is 16 bits on Windows and 32 bits on Linux; every boundary that
// stores or reads text (archives, the package file table, log files, narrow
// console output) goes through these helpers so both builds produce the same
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// Code units of `s` in UTF-16. On Linux, characters above U+FFFF become
// surrogate pairs; lone surrogates pass through unchanged.
std::u16string ToUtf16(std::wstring_view s);

// Inverse of ToUtf16: on Linux, well-formed surrogate pairs are joined.
std::wstring FromUtf16(const char16_t* units, size_t count);
inline std::wstring FromUtf16(std::u16string_view s) { return FromUtf16(s.data(), s.size()); }

// Decodes `count` UTF-16LE code units from raw bytes (no alignment needed).
std::wstring FromUtf16Le(const uint8_t* bytes, size_t count);
// Appends the UTF-16LE bytes of `s`.
void AppendUtf16Le(std::string& out, std::wstring_view s);

// UTF-8 for consoles, JSON and POSIX paths. Invalid input bytes decode as
// U+FFFD rather than failing.
std::string ToUtf8(std::wstring_view s);
std::wstring FromUtf8(std::string_view s);

// Small formatting helpers; the printf family disagrees between glibc and
// mingw about what %s means for wide strings.
std::wstring ToWString(long long value);
std::wstring ToHex(uint32_t value, int minDigits = 1);

// ASCII-only case folding, as the system does for registry and file names in
// the cases we compare.
std::wstring AsciiLower(std::wstring_view s);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace zor
