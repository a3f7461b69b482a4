// Reverses what the setup did to the machine.
#pragma once

#include <string>

#include "uninstall/file_removal.h"

namespace luma {

struct UninstallTarget {
  std::wstring installDir;  // normalised, already checked with WhyNotInstallDir
  std::wstring ownPath;     // the running uninstaller
};

// Removes, in this order: the COM component (unregistered first), the
// shortcuts, the driver file, the runtime files in the Windows folder, the
// settings file and its folder, the package's files in the install folder
// and the driver's service key. When all of that is gone (or scheduled for
// the restart), also the uninstall entry, the product key, the uninstaller
// itself and the install folder; otherwise those stay so that the
// uninstaller can be run again. COM must be initialised on the calling
// thread.
RemovalReport Uninstall(const UninstallTarget& target);

}  // namespace luma
