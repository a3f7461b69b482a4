// Registry access shared by the product programs. `view` is 0 (the caller's
// own view), KEY_WOW64_32KEY or KEY_WOW64_64KEY.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace luma {

// A string value; values stored without a terminating NUL (as the setup
// writes them) read the same as terminated ones. nullopt when the key or
// value is missing or is not a string.
std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name,
                                          REGSAM view);
std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view);

bool RegKeyExists(HKEY root, const std::wstring& path, REGSAM view);
// True when the key exists and holds neither values nor subkeys.
bool RegKeyIsEmpty(HKEY root, const std::wstring& path, REGSAM view);

// Deletes the key and everything below it. ERROR_SUCCESS when it is gone,
// including when it never existed; otherwise the first error met.
LONG DeleteRegTree(HKEY root, const std::wstring& path, REGSAM view);

// Creates the key (with its missing parents) and sets a string value; an
// empty name sets the default value.
LONG WriteRegString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value,
                    REGSAM view);

}  // namespace luma
