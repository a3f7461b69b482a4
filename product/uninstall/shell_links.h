// The product's shortcuts. Their file names come from the setup's language
// module, so they are recognised by where they point, not by name.
#pragma once

#include <optional>
#include <string>

#include "uninstall/file_removal.h"

namespace luma {

// The path a shortcut points to; nullopt when it cannot be read. COM must be
// initialised on the calling thread.
std::optional<std::wstring> LinkTarget(const std::wstring& linkPath);

// Removes every shortcut (*.lnk) directly in `folder` whose target lies in
// `installDir`; other shortcuts stay.
void RemoveLinksInto(const std::wstring& folder, const std::wstring& installDir, RemovalReport& report);

}  // namespace luma
