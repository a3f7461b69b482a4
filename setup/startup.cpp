#include "setup/startup.h"

#include <vector>

#include "platform/host.h"
#include "setup/command_line.h"
#include "setup/install_sequence.h"
#include "setup/language_table.h"
#include "setup/os_checks.h"
#include "setup/payloads.h"
#include "setup/result_log.h"
#include "setup/setup_globals.h"
#include "setup/string_source.h"

namespace zor {

namespace {

// Where the product goes unless the user or a registered installation says
// otherwise, below the Program Files folder.
const wchar_t kDefaultFolderBelowProgramFiles[] = L"\\Tarvex\\Lumaglimpse\\";

// The language the installation starts with when nothing else chose one:
// the row of the system's default language, or the current index when the
// table has no row for it.
int32_t SystemLanguageRow(int32_t current) {
  std::optional<int> row = FindLanguageRow(CurrentHost().SystemDefaultLangId());
  return row ? *row : current;
}

}  // namespace

CSetupStartup::CSetupStartup()
    : m_strInstallDir(CurrentHost().SpecialFolderPath(kCsidlProgramFiles) + kDefaultFolderBelowProgramFiles),
      m_actions(&m_strings) {}

CSetupStartup::~CSetupStartup() { ReleasePayloads(); }

void CSetupStartup::ReleasePayloads() {
  // The rotator's window goes with it, before any text source does.
  m_renderer.Unload();
  m_strings.SetModule(0);
  // A mapped image cannot be deleted: the module goes before its file.
  if (m_hLangModule) CurrentHost().UnloadModule(m_hLangModule);
  m_hLangModule = 0;
  m_languageFolder.Remove();
}

void CSetupStartup::ShowMessage(uint32_t id) {
  CurrentHost().MessageBox(m_strings.GetString(id), m_strings.GetString(kIdsCaption), kMbOk | kMbIconInformation);
}

bool CSetupStartup::InitInstance(const std::wstring& commandLine, ISetupWindows& windows,
                                 RotatorFactory rotatorFactory, WindowHandle desktopWindow) {
  Host& host = CurrentHost();
  // A second copy ends before it changes anything, without a word: the
  // first one is already talking to the user.
  if (!IsFirstInstance()) return false;

  uint16_t langId = host.SystemDefaultLangId();
  // Payloads are read from the program itself, before a language module
  // becomes the resource source.
  ExtractLanguageModules(m_languageFolder, 0);
  if (std::optional<int> row = FindLanguageRow(langId)) m_hLangModule = LoadLanguageModule(m_languageFolder, *row);
  m_renderer.LoadRotator(0, rotatorFactory, desktopWindow);
  if (m_hLangModule) m_strings.SetModule(m_hLangModule);

  // Ending the process runs no destructors: the payload folders go first,
  // as they would at a normal end (the message box is closed by now).
  auto endProcess = [&] {
    ReleasePayloads();
    host.ExitProcess(0);
  };
  if (!IsSupportedOS()) {
    ShowMessage(kIdsUnsupportedSystem);
    endProcess();
  }
  if (!HasAdminRights()) {
    ShowMessage(kIdsNeedAdministrator);
    endProcess();
  }
  // A path that does not fit keeps the previous one, so the outcome still
  // reaches a log the caller can find.
  ApplyResultLogSwitch(commandLine, &g_szResultLog);

  std::wstring self = host.ModulePath();
  m_extract.SetPackagePath(self);
  if (m_extract.Open(self) != kResultOk) {
    // Shown in silent mode too: the checks come before the mode.
    ShowMessage(kIdsPackageDamaged);
    WriteResult(g_szResultLog, kResultPackageDamaged);
    endProcess();
  }
  m_pProject = m_extract.GetProject();
  if (m_pProject) {
    m_strVersion = m_pProject->GetProductInfo()->GetVersion();
    host.DebugOutput(m_strVersion);
  }

  if (HasSilentSwitch(commandLine)) {
    // Silent mode always installs into the default folder.
    CInstallSequence(m_extract, m_actions).RunSilent(m_strInstallDir, m_strVersion, g_szResultLog, &g_nLangIndex);
    return true;
  }

  std::wstring existing = GetInstalledDir();
  if (existing.empty()) {
    g_nLangIndex = SystemLanguageRow(g_nLangIndex);
    windows.RunFreshInstall();
  } else {
    m_strInstallDir = existing;
    // A registration without a usable language (missing, or a number that
    // names no row) repairs in the system's language rather than in a
    // fixed row or with no language files at all.
    std::optional<int32_t> registered = GetInstalledLanguage();
    g_nLangIndex = registered ? *registered : SystemLanguageRow(g_nLangIndex);
    windows.RunMaintenance();
  }
  return false;
}

std::optional<int32_t> GetInstalledLanguage() {
  Host& host = CurrentHost();
  Host::RegKey key = 0;
  if (host.RegOpenKey(kHkeyLocalMachine, kProductKey, &key) != kErrSuccess) return std::nullopt;
  uint32_t type = 0;
  std::vector<uint8_t> data;
  long result = host.RegQueryValue(key, L"Lang", &type, &data);
  host.RegCloseKey(key);
  if (result != kErrSuccess || type != kRegDword || data.size() != 4) return std::nullopt;
  int32_t value = static_cast<int32_t>(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
  if (!GetLanguageRow(value)) return std::nullopt;
  return value;
}

}  // namespace zor
