// What start-up asks the system before it shows anything: is another copy
// running, is this Windows supported, may the user install, and is the
// product installed already.
#pragma once

#include <string>

namespace zor {

extern const wchar_t kSingleInstanceEvent[];  // "Global\LUMAGLIMPSE3_INSTALL"

// Takes the machine-wide single-instance event. False when another copy
// holds it. A failure to create the event lets the copy run: refusing to
// start over an unusable event would leave the user with nothing.
bool IsFirstInstance();

// Windows 2000 (5.0), XP (5.1) and every 6.x version. 5.2 (Server 2003, XP
// x64), older systems and a version that cannot be read are refused.
bool IsSupportedOS();

// True when the first physical disk can be opened for reading, which only
// administrators may do.
bool HasAdminRights();

// The folder a previous installation registered as "InstallDir"; empty when
// there is none, when the value is not text, or when it is longer than the
// 260 characters a folder may have.
std::wstring GetInstalledDir();

}  // namespace zor
