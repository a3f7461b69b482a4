// Windows-1252, the ANSI code page of Western European and US English
// systems, for hosts that have no Windows code page of their own.
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in the code page;
// like Windows, they map to the C1 control of the same value and back, so
// every byte string survives the trip to wide text and back.
#pragma once

#include <string>
#include <string_view>

namespace zor {

std::wstring Windows1252ToWide(std::string_view bytes);

// The byte for `c`; false when the code page has no such character.
bool WideToWindows1252(wchar_t c, char* byte);

}  // namespace zor
