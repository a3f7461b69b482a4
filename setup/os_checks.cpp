#include "setup/os_checks.h"

#include <cstdint>
#include <vector>

#include "common/wstr.h"
#include "platform/host.h"
#include "setup/install_actions.h"

namespace zor {

const wchar_t kSingleInstanceEvent[] = L"Global\\LUMAGLIMPSE3_INSTALL";

namespace {
// Bytes the registered folder may take: 260 UTF-16 characters.
constexpr size_t kInstalledDirBytes = 520;
}  // namespace

bool IsFirstInstance() { return CurrentHost().CreateNamedEvent(kSingleInstanceEvent) != kErrAlreadyExists; }

bool IsSupportedOS() {
  Host& host = CurrentHost();
  OsVersion v;
  if (!host.GetVersionInfo(true, &v) && !host.GetVersionInfo(false, &v)) return false;
  return (v.major == 5 && (v.minor == 0 || v.minor == 1)) || v.major == 6;
}

bool HasAdminRights() { return CurrentHost().CanOpenDevice(L"\\\\.\\PHYSICALDRIVE0"); }

std::wstring GetInstalledDir() {
  Host& host = CurrentHost();
  Host::RegKey key = 0;
  if (host.RegOpenKey(kHkeyLocalMachine, kProductKey, &key) != kErrSuccess) return std::wstring();
  uint32_t type = 0;
  std::vector<uint8_t> data;
  long result = host.RegQueryValue(key, L"InstallDir", &type, &data);
  host.RegCloseKey(key);
  if (result != kErrSuccess || data.size() > kInstalledDirBytes) return std::wstring();
  // A number or binary data under this name is not a folder; taking its
  // bytes as text would send the repair somewhere arbitrary.
  if (type != kRegSz && type != kRegExpandSz) return std::wstring();
  std::wstring text = FromUtf16Le(data.data(), data.size() / 2);
  // Stored with or without a terminating zero; the text ends at the first.
  size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

}  // namespace zor
