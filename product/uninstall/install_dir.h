// Finding the install folder and deciding whether the uninstaller may work
// in it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace luma {

// A fully qualified folder ("X:\..." or "\\server\share\...") with '\\'
// separators and one trailing backslash; nullopt for relative paths, "." or
// ".." parts, wildcards and other characters no folder name may hold.
std::optional<std::wstring> NormalizeFolder(const std::wstring& raw);

// True when `path` lies inside `folder` (which ends in a backslash), compared
// without regard to case.
bool IsInside(const std::wstring& path, const std::wstring& folder);
bool SamePath(const std::wstring& a, const std::wstring& b);

// Empty when the uninstaller may remove the package's files from `dir`
// (normalised); otherwise why not. A drive or share root, a protected folder
// itself and any folder that holds a protected folder are refused, because
// the package's file names (Uninstall.exe, msvcr80.dll ...) there could well
// belong to someone else.
std::wstring WhyNotInstallDir(const std::wstring& dir, const std::vector<std::wstring>& protectedFolders);

// The system's own folders (Windows, system, program files, profiles, common
// data ...), each normalised.
std::vector<std::wstring> ProtectedFolders();

struct InstallDirChoice {
  std::wstring dir;     // normalised; empty when nothing usable was found
  std::wstring source;  // where it came from, for messages
  std::wstring raw;     // the text found, when it could not be used
};

// The product key's "InstallDir" (32-bit view, then the 64-bit view), else
// the folder of `ownPath` when that file is named Uninstall.exe and
// Lumaglimpse.exe lies beside it.
InstallDirChoice FindInstallDir(const std::wstring& ownPath);

// The two names refer to the same existing file (same volume and file id).
bool SameFile(const std::wstring& a, const std::wstring& b);

std::wstring ModulePath();

}  // namespace luma
