// CInstallActions: shortcuts, runtime files, the settings file and the COM
// component.
#include <optional>

#include "platform/host.h"
#include "setup/install_actions.h"

namespace zor {

const wchar_t kShortcutFolder[] = L"\\Tarvex Lumaglimpse";

const wchar_t* const kRuntimeFiles[10] = {
    L"LumaglimpseSrcSaver.scr", L"Sayvel.dll", L"Strelix.dll", L"StreamAid.dll", L"Pictra.dll",
    L"Atl71.dll",               L"d3dx9_24.dll", L"MFC71.dll", L"msvcr80.dll", L"Microsoft.VC80.CRT.manifest",
};

namespace {

const wchar_t kOpenFolderSddl[] = L"D:(A;OICI;GA;;;BG)(A;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)";
const wchar_t kSettingsSource[] = L"gui\\main.ini";
const wchar_t kSettingsFolder[] = L"\\Lumaglimpse";
const wchar_t kSettingsFile[] = L"\\Lumaglimpse\\main.ini";
const wchar_t kStaleSettings[] = L"\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini";
const wchar_t kComComponent[] = L"\\Vizorel.dll";
const wchar_t kRoaming[] = L"\\Roaming";

enum class Target { kProgram, kHelp, kUninstaller };

struct LinkRow {
  int folder;         // special folder id
  uint32_t stringId;  // link path below that folder, from the string table
  Target target;
  bool workingFolder;  // the install folder as working folder
  bool desktop;        // left out when asked to skip the desktop
};

// In the order the links are made.
const LinkRow kLinks[] = {
    {kCsidlCommonPrograms, kIdsProgramLink, Target::kProgram, true, false},
    {kCsidlCommonDesktop, kIdsDesktopLink, Target::kProgram, true, true},
    {kCsidlAppData, kIdsQuickLaunchLink, Target::kProgram, false, false},
    {kCsidlCommonPrograms, kIdsHelpLink, Target::kHelp, false, false},
    {kCsidlCommonPrograms, kIdsUninstallLink, Target::kUninstaller, false, false},
};

}  // namespace

std::wstring CInstallActions::BuildOpenFolderSecurity() { return kOpenFolderSddl; }

std::wstring CInstallActions::StaleSettingsPath(const std::wstring& appDataFolder) {
  if (appDataFolder.empty()) return std::wstring();
  // Vista and later keep roaming data in "<profile>\AppData\Roaming" and the
  // virtual store in "<profile>\AppData\Local"; XP has no "Roaming" folder,
  // and the whole folder is used. Only a whole "Roaming" folder name counts,
  // the last one, so a user or folder whose name merely starts with
  // "Roaming" does not move the path elsewhere.
  std::wstring base = appDataFolder;
  const size_t len = sizeof(kRoaming) / sizeof(kRoaming[0]) - 1;
  for (size_t at = base.rfind(kRoaming); at != std::wstring::npos;
       at = at == 0 ? std::wstring::npos : base.rfind(kRoaming, at - 1)) {
    size_t end = at + len;
    if (end == base.size() || base[end] == L'\\') {
      base.resize(at);
      break;
    }
  }
  return base + kStaleSettings;
}

int CInstallActions::CreateLink(bool /*create*/, const wchar_t* target, const wchar_t* linkPath,
                                const wchar_t* arguments, const wchar_t* description, const wchar_t* workingFolder) {
  if (!target || !linkPath) return 0;
  auto optional = [](const wchar_t* s) { return s ? std::optional<std::wstring>(s) : std::nullopt; };
  ShellLink link;
  link.target = target;
  link.linkPath = linkPath;
  link.arguments = optional(arguments);
  link.description = optional(description);
  link.workingFolder = optional(workingFolder);
  // A link that cannot be saved (its folder is missing, say) is not an
  // error of the installation.
  CurrentHost().CreateShellLink(link);
  return 1;
}

int CInstallActions::CreateShortcuts(bool skipDesktop) {
  Host& host = CurrentHost();
  const std::wstring& dir = m_strInstallDir;
  // An unknown shell folder would turn the link path into one at the root
  // of the current drive; such links are left out.
  std::wstring programs = host.SpecialFolderPath(kCsidlCommonPrograms);
  if (!programs.empty()) host.CreateDirectory(programs + kShortcutFolder);
  for (const LinkRow& row : kLinks) {
    if (row.desktop && skipDesktop) continue;
    std::wstring folder = host.SpecialFolderPath(row.folder);
    std::wstring name = m_pStrings ? m_pStrings->GetString(row.stringId) : std::wstring();
    if (folder.empty() || name.empty()) continue;
    std::wstring target = dir + (row.target == Target::kProgram ? kProgramFile
                                 : row.target == Target::kHelp  ? kHelpFile
                                                                : kUninstallerFile);
    std::wstring path = folder + name;
    CreateLink(true, target.c_str(), path.c_str(), nullptr, nullptr, row.workingFolder ? dir.c_str() : nullptr);
  }
  return 1;
}

int CInstallActions::DeployFiles() {
  Host& host = CurrentHost();
  const std::wstring& dir = m_strInstallDir;

  // Runtime files the product loads from the Windows folder; a file the
  // package does not carry is skipped.
  std::wstring windows = host.WindowsFolder();
  if (!windows.empty())
    for (const wchar_t* name : kRuntimeFiles) host.CopyFileTo(dir + name, windows + L"\\" + name, false);

  // The settings file moves to a folder every user may write. A folder that
  // exists keeps its own access list. The install folder's copy is removed
  // only once the machine-wide one is in place: after a failed copy it is
  // the only settings file the product has.
  std::wstring commonData = host.SpecialFolderPath(kCsidlCommonAppData);
  if (!commonData.empty()) {
    host.CreateDirectoryWithSddl(commonData + kSettingsFolder, BuildOpenFolderSecurity());
    std::wstring source = dir + kSettingsSource;
    if (host.CopyFileTo(source, commonData + kSettingsFile, false)) host.DeleteFile(source);
  }

  // A copy that file virtualisation kept for this user would hide the new
  // machine-wide file from the product.
  std::wstring stale = StaleSettingsPath(host.SpecialFolderPath(kCsidlAppData));
  if (!stale.empty()) {
    host.DebugOutput(stale);
    host.DeleteFile(stale);
  }

  // The COM component is registered by the system's own tool, which runs on
  // its own; its outcome is not waited for.
  std::wstring system = host.SystemFolder();
  if (!system.empty()) {
    std::wstring component = system + kComComponent;
    host.DebugOutput(component);
    std::wstring parameters = L"/s \"" + component + L"\"";
    host.DebugOutput(parameters);
    host.StartProgram(L"open", L"RegSvr32.exe", parameters, std::wstring(), kSwHide);
  }
  return 1;
}

}  // namespace zor
