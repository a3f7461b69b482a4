#include "setup/win32/win32_shutdown.h"

namespace zor {

bool CWin32ShutdownApi::OpenToken() {
  CloseToken();
  return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &m_hToken) != 0;
}

bool CWin32ShutdownApi::LookupPrivilege(const std::wstring& name) {
  return ::LookupPrivilegeValueW(nullptr, name.c_str(), &m_luid) != 0;
}

long CWin32ShutdownApi::EnablePrivilege() {
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = m_luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::SetLastError(ERROR_SUCCESS);
  if (!::AdjustTokenPrivileges(m_hToken, FALSE, &privileges, 0, nullptr, nullptr)) {
    DWORD error = ::GetLastError();
    return error ? static_cast<long>(error) : static_cast<long>(ERROR_ACCESS_DENIED);
  }
  // Success with ERROR_NOT_ALL_ASSIGNED: the token does not hold it.
  return static_cast<long>(::GetLastError());
}

void CWin32ShutdownApi::CloseToken() {
  if (m_hToken) ::CloseHandle(m_hToken);
  m_hToken = nullptr;
}

bool CWin32ShutdownApi::ExitSystem(uint32_t flags, uint32_t reason) {
  return ::ExitWindowsEx(flags, reason) != 0;
}

}  // namespace zor
