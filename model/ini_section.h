// Reading the key=value lines of one initialization-file section, shared by
// the string and bitmap tables.
#pragma once

#include <functional>
#include <string>

namespace zor {

// Calls `line(identifier, value)` for each usable line of `section` in file
// order. The identifier is the key read as a signed decimal number (leading
// blanks, optional sign, digits up to the first non-digit; no digits gives 0).
// Lines without "=" and keys of ten or more characters are skipped: they are
// not of the form the tables are written in, and a short key also keeps the
// number within an int. False when the path is empty, the file does not open
// or the buffer cannot be had; nothing is reported then.
bool ForEachIniLine(const std::wstring& path, const std::wstring& section,
                    const std::function<void(int id, const std::wstring& value)>& line);

// The atoi-like rule above, for a key of any length (saturating rather than
// overflowing).
int IniKeyToId(const std::wstring& key);

}  // namespace zor
