// The last system error seen by the engine, and its system message text.
//
// The host reports failures through results rather than a thread-wide error
// slot, so the engine keeps the code of the last failure it saw per thread;
// the log's WriteLastError reports that one, not whatever a later unrelated
// call left behind.
#pragma once

#include <string>

namespace zor {

long LastSystemError();
void SetLastSystemError(long code);

// The system's message text for `code` in the default language, usually
// ending with its own line end. Never empty.
std::wstring SystemErrorText(long code);

// Implemented per platform (engine/win32, engine/posix): empty when the
// system has no text for the code.
std::wstring PlatformErrorText(long code);

}  // namespace zor
