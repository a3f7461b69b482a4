// The letter case Windows ignores when it compares file names.
//
// The file system compares names by upper-casing each UTF-16 code unit
// through a table of 65,536 entries. This is that table as the simple
// upper-case mapping of the Basic Multilingual Plane (one code unit to one
// code unit, no locale), so "straße" and "STRASSE" differ while "ǆ" and
// "Ǆ" are the same name. It is compiled in rather than asked of the C
// library, whose towupper depends on the locale and differs between glibc
// and the Windows runtime; both builds therefore fold names alike.
#pragma once

#include <string>
#include <string_view>

namespace zor {

// The upper-case form of one code unit; characters beyond U+FFFF (and
// surrogates) are left as they are, as the system's table does.
wchar_t UpcaseUnit(wchar_t c);
// `name` with every code unit upper-cased.
std::wstring UpcaseName(std::wstring_view name);

}  // namespace zor
