// The install actions: every change the setup makes to the machine once the
// product's files are unpacked into the install folder: the driver file,
// the registry entries, the shortcuts, the runtime files, the settings file
// and the COM registration.
//
// Each operation returns 1 for done or 0 for a failure it noticed; the
// installation goes on whatever they return, so a partial failure never
// stops it. Everything goes through CurrentHost().
#pragma once

#include <cstdint>
#include <string>

#include "setup/string_source.h"

namespace zor {

// The product's fixed names, as the registry and the shortcuts carry them.
extern const wchar_t kProductName[];        // "Lumaglimpse": display and product name
extern const wchar_t kProductCompany[];     // "Orvantel"
extern const wchar_t kProductPublisher[];   // "Tarvex"
extern const wchar_t kProgramFile[];        // "Lumaglimpse.exe"
extern const wchar_t kUninstallerFile[];    // "Uninstall.exe"
extern const wchar_t kHelpFile[];           // "Lumaglimpse.CHM"
extern const wchar_t kUninstallRoot[];      // "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
extern const wchar_t kUninstallEntry[];     // "Lumaglimpse3.0"
extern const wchar_t kSoftwareRoot[];       // "SOFTWARE"
extern const wchar_t kProductSubKey[];      // "Tarvex\Lumaglimpse"
extern const wchar_t kProductKey[];         // "SOFTWARE\Tarvex\Lumaglimpse"
extern const wchar_t kServicesRoot[];       // "SYSTEM\CurrentControlSet\Services"
extern const wchar_t kDriverService[];      // "vcapfx"
extern const wchar_t kShortcutFolder[];     // "\Tarvex Lumaglimpse", under the common programs folder

// The runtime files copied to the Windows folder, in copy order.
extern const wchar_t* const kRuntimeFiles[10];

class CInstallActions {
 public:
  // `strings` gives the shortcut file names (not owned; may be null, and
  // then no shortcut is made).
  explicit CInstallActions(IStringSource* strings = nullptr);

  void SetStringSource(IStringSource* strings) { m_pStrings = strings; }

  // The install folder, ending in a backslash; set before the first action.
  std::wstring m_strInstallDir;

  // ---- Driver and registry
  // Copies the driver build for the running Windows into the drivers folder:
  // "vcapfx.xp" on 5.x, "vcapfx.vst" on 32-bit 6.x, "vcapfx.x64" on 64-bit
  // 6.x. 1 after a copy attempt or when the version has no driver, 0 when
  // the version cannot be read.
  int InstallDriver();
  // The 64-bit branch: copies with file-system redirection switched off, so
  // a 32-bit process reaches the native drivers folder. Returns 1.
  int CopyDriver64();
  // The Add/Remove Programs entry. 1 when the entry key was opened or made.
  int RegisterUninstall(const std::wstring& displayName, const std::wstring& uninstallCommand);
  // The product key (in the 32-bit view on 64-bit Windows) and the driver's
  // service key. 1 when both keys were written.
  int RegisterProduct(const std::wstring& productName, const std::wstring& programPath,
                      const std::wstring& installDir, const std::wstring& version, const std::wstring& company,
                      int32_t langIndex);

  // ---- Shortcuts, files, settings
  // The start-menu folder and links, the desktop link unless `skipDesktop`,
  // the quick-launch link. Returns 1.
  int CreateShortcuts(bool skipDesktop);
  // One shell link; `arguments`, `description` and `workingFolder` may be
  // null and are then not set. 0 when `target` or `linkPath` is null;
  // otherwise 1, whether or not the link could be saved. `create` is kept
  // for callers: links are always written.
  int CreateLink(bool create, const wchar_t* target, const wchar_t* linkPath, const wchar_t* arguments,
                 const wchar_t* description, const wchar_t* workingFolder);
  // Runtime files to the Windows folder, the settings file to the machine-
  // wide folder, the stale per-user copy removed, the COM component
  // registered. Returns 1.
  int DeployFiles();

  // The access list of the machine-wide settings folder, as SDDL: every
  // user of the machine (guests and anonymous logons included) gets full
  // access, inherited by files and folders below, so whoever runs the
  // product can write its settings.
  static std::wstring BuildOpenFolderSecurity();

  // Paths the actions use, exposed for the installation sequence and tests.
  static std::wstring UninstallCommand(const std::wstring& installDir);  // dir + "Uninstall.exe"
  static std::wstring ProgramPath(const std::wstring& installDir);       // dir + "Lumaglimpse.exe"
  // Where file virtualisation kept a per-user copy of the settings file,
  // from the user's application data folder; empty when that is unknown.
  static std::wstring StaleSettingsPath(const std::wstring& appDataFolder);

 private:
  void CopyDriverFile(const wchar_t* build);

  IStringSource* m_pStrings;
};

}  // namespace zor
