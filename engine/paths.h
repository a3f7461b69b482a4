// Path helpers shared by the reader and the builder.
//
// Install paths are built from names stored in a package, so every name is
// checked before it becomes part of a path, and containment is decided by
// comparing components, never by string prefixes ("C:\Prog" is not inside
// "C:\Program Files" just because the text starts the same).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host.h"

namespace zor {

inline bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// True when `name` can only name an entry directly inside a folder: not
// empty, not made of dots and spaces alone ("." and ".." among them), no
// separator, colon or control character, and not a device name such as
// "CON" or "LPT1.txt" that Windows would open instead of a file.
bool IsPlainName(const std::wstring& name);

// The components of `path` between separators; empty components are dropped.
std::vector<std::wstring> PathComponents(const std::wstring& path);

// True when `path` is `folder` or lies below it, comparing components
// without regard to ASCII case. A path with "." or ".." components is never
// inside anything.
bool IsWithinFolder(const std::wstring& folder, const std::wstring& path);

// `path` with a backslash appended unless it already ends in a separator.
std::wstring WithSeparator(const std::wstring& path);

// The part of `path` after its last separator.
std::wstring FileNameOf(const std::wstring& path);

// Creates every missing level of `path` from the top down, ignoring
// failures (most levels usually exist).
void CreateDirectoryChain(const std::wstring& path);

// Creates a new empty file named prefix + hexadecimal number + ".tmp" in
// `folder` (which ends in a separator) the way the system's temporary-file
// naming does, never reusing an existing name. Returns it open for reading
// and writing, or null (with the error in `error`) when the folder refuses.
std::unique_ptr<File> CreateUniqueFile(const std::wstring& folder, const std::wstring& prefix, std::wstring* path,
                                       long* error = nullptr);

}  // namespace zor
