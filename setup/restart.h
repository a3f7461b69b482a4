// Restarting the computer from the finish page: the shutdown privilege of
// the process token is enabled, then the system is asked for a forced
// restart. The system calls are behind IShutdownApi, so tests see every
// failure without restarting anything.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

class IShutdownApi {
 public:
  virtual ~IShutdownApi() = default;
  // OpenProcessToken of this process for adjusting privileges and querying.
  virtual bool OpenToken() = 0;
  // LookupPrivilegeValue on the local system; false when unknown.
  virtual bool LookupPrivilege(const std::wstring& name) = 0;
  // AdjustTokenPrivileges with the looked-up privilege enabled (one
  // privilege); returns the last error after the call, which is non-zero
  // when the privilege was not granted even though the call succeeded.
  virtual long EnablePrivilege() = 0;
  virtual void CloseToken() = 0;
  // ExitWindowsEx.
  virtual bool ExitSystem(uint32_t flags, uint32_t reason) = 0;
};

// The ExitWindowsEx flags used.
enum ExitWindowsFlags : uint32_t { kEwxReboot = 0x2, kEwxForce = 0x4 };

extern const wchar_t kShutdownPrivilege[];  // "SeShutdownPrivilege"

enum class RestartResult { kNoToken, kNoPrivilege, kRefused, kRestarting };

// Anything but kRestarting leaves the finish page in place so the user can
// press Finish again. The token is closed whatever happens once opened.
RestartResult RestartComputer(IShutdownApi& api);

}  // namespace zor
