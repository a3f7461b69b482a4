// Removing the uninstaller's own file and the install folder it runs from.
//
// A running program cannot delete its own file. The uninstaller copies itself
// to the temp folder and starts the copy with --remove-uninstaller; the copy
// waits until the uninstaller has ended, then deletes Uninstall.exe, the
// install folder and an empty "Tarvex" parent, and schedules its own removal
// for the next restart (the temp copy is the only thing left, and only in the
// temp folder). This removes the install folder at once instead of leaving it
// until a restart, and the uninstaller still reports every other result
// itself before it ends.
#pragma once

#include <string>

#include "uninstall/file_removal.h"

namespace luma {

inline constexpr wchar_t kRemoveUninstallerSwitch[] = L"--remove-uninstaller";

// Starts the helper for `installDir` (which holds `ownPath`). When no helper
// can be started, schedules the file and the folders for the next restart.
void StartSelfRemoval(const std::wstring& ownPath, const std::wstring& installDir, RemovalReport& report);

// The helper's side: `parentPid` is the uninstaller to wait for.
int RunSelfRemovalHelper(const std::wstring& parentPid, const std::wstring& installDir);

// The "Tarvex" vendor folder above the install folder, or empty when the
// install folder has another parent (a folder the user chose, which the
// setup did not necessarily create).
std::wstring VendorFolderOf(const std::wstring& installDir);

}  // namespace luma
