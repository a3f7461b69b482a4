// The destination folder check made when the wizard leaves the language
// page: the folder must be long enough to name a place, and the folder the
// product will live in must be creatable.
#pragma once

#include <string>

namespace zor {

// Creates every folder along `path` ('/' counts as '\'), from the text
// before the first backslash ("C:") through each prefix ending in a
// backslash ("C:\", "C:\A\", ...). Existing folders (kErrAlreadyExists) and
// folders the system will not make (kErrAccessDenied, as for a drive root)
// are passed over; any other failure stops with false. A path without a
// backslash creates nothing and succeeds.
bool CreateFolderChain(const std::wstring& path);

// The folder the check creates for install folder `folder`: a final
// backslash added, then "Lumaglimpse" unless the text holds it already
// (case-sensitive). The install folder itself is not changed by this.
std::wstring FolderToCreate(const std::wstring& folder);

// True when `folder` is accepted: at least three characters, and
// CreateFolderChain of FolderToCreate(folder) succeeds. "C:" is refused;
// "C:\" is accepted and makes "C:\Lumaglimpse\". A path starting with a
// backslash fails because the text before it, an empty name, cannot be
// made.
bool AcceptInstallFolder(const std::wstring& folder);

}  // namespace zor
