// The operating-system code: one number per Windows version that selectors
// and conditions compare against. Versions after 5.2 have no code of their
// own and give 0, the same as "any system" in a condition.
#pragma once

#include <cstdint>

#include "platform/host.h"

enum OsCode : uint32_t {
  kOsCodeOther = 0,
  kOsCodeWin95 = 0x4000,
  kOsCodeWin98 = 0x4010,
  kOsCodeWinMe = 0x4090,
  kOsCodeNt4 = 0x14000,  // NT 4 and earlier
  kOsCodeWin2000 = 0x15001,
  kOsCodeWinXp = 0x15002,
  kOsCodeWin2003 = 0x15003,
};

// The code of a given version.
uint32_t OsCodeOf(const zor::OsVersion& version);

// The code of the running machine: the extended version information first,
// the basic form when that fails, 0 when both fail.
uint32_t CurrentOsCode();
