#include "setup/setup_globals.h"

#include "setup/result_log.h"

namespace zor {

int32_t g_nLangIndex = 0;
std::string g_szResultLog = kDefaultResultLog;

void ResetSetupGlobals() {
  g_nLangIndex = 0;
  g_szResultLog = kDefaultResultLog;
}

}  // namespace zor
