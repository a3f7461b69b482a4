// CInstallActions: the driver file and the registry entries.
#include "setup/install_actions.h"


#include "common/wstr.h"
#include "platform/host.h"

namespace zor {

const wchar_t kProductName[] = L"Lumaglimpse";
const wchar_t kProductCompany[] = L"Orvantel";
const wchar_t kProductPublisher[] = L"Tarvex";
const wchar_t kProgramFile[] = L"Lumaglimpse.exe";
const wchar_t kUninstallerFile[] = L"Uninstall.exe";
const wchar_t kHelpFile[] = L"Lumaglimpse.CHM";
const wchar_t kUninstallRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kUninstallEntry[] = L"Lumaglimpse3.0";
const wchar_t kSoftwareRoot[] = L"SOFTWARE";
const wchar_t kProductSubKey[] = L"Tarvex\\Lumaglimpse";
const wchar_t kProductKey[] = L"SOFTWARE\\Tarvex\\Lumaglimpse";
const wchar_t kServicesRoot[] = L"SYSTEM\\CurrentControlSet\\Services";
const wchar_t kDriverService[] = L"vcapfx";

namespace {

const wchar_t kDriverXp[] = L"vcapfx.xp";
const wchar_t kDriverVista[] = L"vcapfx.vst";
const wchar_t kDriverX64[] = L"vcapfx.x64";
const wchar_t kDriverTarget[] = L"\\Drivers\\vcapfx.sys";

// Service values: loaded while the kernel initialises, a kernel-mode
// driver, and a failed load does not stop the system from starting. No
// image path: the system then looks for "vcapfx.sys" in the drivers folder.
constexpr uint32_t kServiceStartSystem = 1;
constexpr uint32_t kServiceKernelDriver = 1;
constexpr uint32_t kServiceErrorIgnore = 0;
const wchar_t kServiceGroup[] = L"Extended base";

// Strings are stored as their UTF-16 characters without a terminating
// zero: that is the size earlier releases wrote, and readers of these
// values (ours included) add the zero themselves.
void SetString(Host& host, Host::RegKey key, const wchar_t* name, const std::wstring& value) {
  std::string bytes;
  AppendUtf16Le(bytes, value);
  host.RegSetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(bytes.data()),
                   static_cast<uint32_t>(bytes.size()));
}

void SetDword(Host& host, Host::RegKey key, const wchar_t* name, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  host.RegSetValue(key, name, kRegDword, bytes, 4);
}

// A key opened under HKEY_LOCAL_MACHINE and a subkey created below it; both
// are closed when the pair goes away, on every path out.
class KeyPair {
 public:
  explicit KeyPair(Host& host) : host_(host) {}
  ~KeyPair() {
    if (sub_) host_.RegCloseKey(sub_);
    if (parent_) host_.RegCloseKey(parent_);
  }
  KeyPair(const KeyPair&) = delete;
  KeyPair& operator=(const KeyPair&) = delete;

  bool Open(const std::wstring& parent, const std::wstring& sub) {
    if (host_.RegOpenKey(kHkeyLocalMachine, parent, &parent_) != kErrSuccess) {
      parent_ = 0;
      return false;
    }
    // The seam names keys from a root, so the subkey is created by its full
    // path; the parent was opened first so that a parent we may not open
    // ends the operation, as it always has.
    if (host_.RegCreateKey(kHkeyLocalMachine, parent + L"\\" + sub, &sub_) != kErrSuccess) {
      sub_ = 0;
      return false;
    }
    return true;
  }
  Host::RegKey sub() const { return sub_; }

 private:
  Host& host_;
  Host::RegKey parent_ = 0;
  Host::RegKey sub_ = 0;
};

}  // namespace

CInstallActions::CInstallActions(IStringSource* strings) : m_pStrings(strings) {}

std::wstring CInstallActions::UninstallCommand(const std::wstring& installDir) {
  return installDir + kUninstallerFile;
}

std::wstring CInstallActions::ProgramPath(const std::wstring& installDir) { return installDir + kProgramFile; }

void CInstallActions::CopyDriverFile(const wchar_t* build) {
  Host& host = CurrentHost();
  std::wstring system = host.SystemFolder();
  // Without the system folder the target would be "\Drivers\..." on
  // whatever drive is current; treat it as the failed copy it is.
  if (system.empty() || !host.CopyFileTo(m_strInstallDir + build, system + kDriverTarget, false))
    host.DebugOutput(L"Copy File Failed");
}

int CInstallActions::InstallDriver() {
  Host& host = CurrentHost();
  OsVersion version;
  if (!host.GetVersionInfo(true, &version) && !host.GetVersionInfo(false, &version)) return 0;
  if (version.major == 5) {
    host.DebugOutput(L"Start Driver");
    CopyDriverFile(kDriverXp);
  } else if (version.major == 6) {
    // A 32-bit process asks WOW64; the 64-bit build knows it runs on 64-bit
    // Windows. Either way the x64 build is the one the kernel can load.
    if (host.Is64BitWindows())
      CopyDriver64();
    else
      CopyDriverFile(kDriverVista);
  }
  return 1;
}

int CInstallActions::CopyDriver64() {
  Host& host = CurrentHost();
  host.DebugOutput(L"64bit copy file");
  // Systems without the redirection calls, and 64-bit processes, copy as
  // they are.
  uintptr_t previous = 0;
  bool disabled = host.DisableFsRedirection(&previous);
  std::wstring system = host.SystemFolder();
  if (!system.empty()) host.CopyFileTo(m_strInstallDir + kDriverX64, system + kDriverTarget, false);
  if (disabled) host.RevertFsRedirection(previous);
  return 1;
}

int CInstallActions::RegisterUninstall(const std::wstring& displayName, const std::wstring& uninstallCommand) {
  Host& host = CurrentHost();
  KeyPair keys(host);
  if (!keys.Open(kUninstallRoot, kUninstallEntry)) return 0;
  SetString(host, keys.sub(), L"DisplayName", displayName);
  SetString(host, keys.sub(), L"UninstallString", uninstallCommand);
  SetString(host, keys.sub(), L"Publisher", kProductPublisher);
  return 1;
}

int CInstallActions::RegisterProduct(const std::wstring& productName, const std::wstring& programPath,
                                     const std::wstring& installDir, const std::wstring& version,
                                     const std::wstring& company, int32_t langIndex) {
  Host& host = CurrentHost();
  {
    // Without the product key there is no installation to find later, so
    // the service is not registered either.
    KeyPair keys(host);
    if (!keys.Open(kSoftwareRoot, kProductSubKey)) return 0;
    SetString(host, keys.sub(), L"Name", productName);
    SetString(host, keys.sub(), L"Version", version);
    SetString(host, keys.sub(), L"InstallPath", programPath);
    SetString(host, keys.sub(), L"InstallDir", installDir);
    SetString(host, keys.sub(), L"company", company);
    SetDword(host, keys.sub(), L"Lang", static_cast<uint32_t>(langIndex));
  }
  KeyPair keys(host);
  if (!keys.Open(kServicesRoot, kDriverService)) return 0;
  SetDword(host, keys.sub(), L"Start", kServiceStartSystem);
  SetDword(host, keys.sub(), L"Type", kServiceKernelDriver);
  SetDword(host, keys.sub(), L"ErrorControl", kServiceErrorIgnore);
  SetString(host, keys.sub(), L"Group", kServiceGroup);
  return 1;
}

}  // namespace zor
