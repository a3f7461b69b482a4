#include "setup/restart.h"

namespace zor {

const wchar_t kShutdownPrivilege[] = L"SeShutdownPrivilege";

RestartResult RestartComputer(IShutdownApi& api) {
  if (!api.OpenToken()) return RestartResult::kNoToken;
  // A failed look-up would hand an unset privilege to the adjustment.
  bool granted = api.LookupPrivilege(kShutdownPrivilege) && api.EnablePrivilege() == 0;
  api.CloseToken();
  if (!granted) return RestartResult::kNoPrivilege;
  return api.ExitSystem(kEwxReboot | kEwxForce, 0) ? RestartResult::kRestarting : RestartResult::kRefused;
}

}  // namespace zor
