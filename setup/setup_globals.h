// Process-wide values of the setup program that several of its parts read
// and write: the chosen language row and the result log path.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

// The current language index: a row 0..21 of the language table. 0 at
// process start; written by the language choice of start-up, the silent
// installation, the language page and the registered installation.
extern int32_t g_nLangIndex;

// Where outcomes are appended: ANSI bytes, at most 259 of them (the
// "-f2" switch replaces it). Starts as "C:\Lumaglimpse.log".
extern std::string g_szResultLog;

// Back to the values of a fresh process (for tests).
void ResetSetupGlobals();

}  // namespace zor
