// Path helpers shared by the reader and the builder.
//
// Install paths are built from names stored in a package, so every name is
// checked before it becomes part of a path, and containment is decided by
// comparing components, never by string prefixes ("C:\Prog" is not inside
// "C:\Program Files" just because the text starts the same).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/absolute_path.h"
#include "platform/host.h"

namespace zor {

// Why `name` cannot stand for one entry directly inside a folder on
// Windows, worded to follow "its name"; empty when it can. Refused are: an
// empty name, one made of dots and spaces alone ("." and ".." among them),
// one ending in a dot or a space (Windows drops those, so it would reach
// another entry), a separator, any of < > : " | ? * or a control
// character, and a device name that Windows would open instead of a file
// ("CON", "LPT1.txt", "COM" followed by a superscript digit ...).
std::string NameProblem(std::wstring_view name);
inline bool IsPlainName(std::wstring_view name) { return NameProblem(name).empty(); }

// The form under which Windows finds `name` among its folder's entries:
// trailing dots and spaces dropped, every code unit upper-cased (see
// common/name_case.h). Two names with the same key are one file.
std::wstring NameKey(std::wstring_view name);

// The components of `path` between separators; empty components are dropped.
std::vector<std::wstring> PathComponents(const std::wstring& path);

// True when `path` is `folder` or lies below it, comparing components as
// Windows compares names (NameKey). A path with "." or ".." components is never
// inside anything: make both absolute with AbsolutePath first.
bool IsWithinFolder(const std::wstring& folder, const std::wstring& path);

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
