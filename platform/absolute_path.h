// Paths as the absolute paths they name, for every layer that takes a path
// from a person or a file: the package tool's folders, a description's
// sources, the reader's destination; and the separator rules every path
// helper shares.
#pragma once

#include <string>

namespace zor {

inline bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// `path` with a backslash appended unless it already ends in a separator.
std::wstring WithSeparator(const std::wstring& path);

// `path` as the absolute path it names, taken against the folder `current`
// (an absolute path itself) the way Windows completes a path: a drive-
// relative "D:x" against `current` when that is on drive D (else against
// D:\), a rooted "\x" against the root of `current`, "." components
// dropped and each ".." taking away the component before it. A ".." at the
// root stays at the root, as the system keeps it there. The result is
// lexical: links are not followed, so "a\link\.." is "a" whatever the link
// points to. Backslashes separate the result, except below a POSIX root
// "/". No trailing separator but for a root ("C:\", "\\server\share\", "/"). Paths of the
// "\\?\" and "\\.\" forms, which the system takes literally, come back
// unchanged; a relative path with no absolute `current` comes back empty.
std::wstring AbsolutePath(const std::wstring& path, const std::wstring& current);
// The same against the current host's working folder.
std::wstring AbsolutePath(const std::wstring& path);
// AbsolutePath(path), or `path` itself when no working folder is known to
// complete it: for paths a person gave, which the system completes anyway
// when it opens them.
std::wstring AbsoluteOrAsGiven(const std::wstring& path);

}  // namespace zor
