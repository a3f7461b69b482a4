// Where the setup's texts come from: the string table of the current
// resource source, which is the program itself until a language module takes
// over. The Windows build reads the loaded module; tests give a table.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

class IStringSource {
 public:
  virtual ~IStringSource() = default;
  // String `id` of the current source; empty when the source has none.
  virtual std::wstring GetString(uint32_t id) = 0;
};

// String ids shared by the program and every language module.
enum SetupStringId : uint32_t {
  kIdsAbout = 101,
  kIdsCaption = 102,              // caption of every message box
  kIdsPackageDamaged = 104,
  kIdsUnsupportedSystem = 105,
  kIdsNeedAdministrator = 108,
  kIdsCreatingShortcuts = 109,
  kIdsCopyingFiles = 110,
  kIdsInstallingDrivers = 111,
  kIdsRegisteringUninstall = 112,
  kIdsRegisteringSoftware = 113,
  kIdsFilesNotUnpacked = 114,     // the installation could not put every file in place
  kIdsFinish = 116,
  kIdsQuickLaunchLink = 117,      // each link text begins with a backslash
  kIdsProgramLink = 118,
  kIdsHelpLink = 119,
  kIdsUninstallLink = 120,
  kIdsThanks = 121,
  kIdsInvalidFolder = 123,
  kIdsDesktopLink = 126,
  kIdsAccept = 127,
  kIdsDecline = 128,
  kIdsNext = 129,
  kIdsCancel = 130,
  kIdsUninstallerNotStarted = 160,  // the maintenance dialog found no uninstaller to start
};

}  // namespace zor
