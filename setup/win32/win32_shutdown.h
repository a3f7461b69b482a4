// The system calls behind the finish page's restart.
#pragma once

#include "platform/win32/windows_api.h"
#include "setup/restart.h"

namespace zor {

class CWin32ShutdownApi : public IShutdownApi {
 public:
  ~CWin32ShutdownApi() override { CloseToken(); }
  bool OpenToken() override;
  bool LookupPrivilege(const std::wstring& name) override;
  long EnablePrivilege() override;
  void CloseToken() override;
  bool ExitSystem(uint32_t flags, uint32_t reason) override;

 private:
  HANDLE m_hToken = nullptr;
  LUID m_luid = {};
};

}  // namespace zor
