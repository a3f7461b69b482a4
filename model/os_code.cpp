#include "model/os_code.h"

namespace {
constexpr uint32_t kPlatformWindows = 1;  // the Windows 95 family
constexpr uint32_t kPlatformNt = 2;
}  // namespace

uint32_t OsCodeOf(const zor::OsVersion& v) {
  if (v.platformId == kPlatformWindows && v.major == 4) {
    switch (v.minor) {
      case 0:
        return kOsCodeWin95;
      case 10:
        return kOsCodeWin98;
      case 90:
        return kOsCodeWinMe;
      default:
        return kOsCodeOther;
    }
  }
  if (v.platformId == kPlatformNt) {
    if (v.major <= 4) return kOsCodeNt4;
    if (v.major == 5) {
      switch (v.minor) {
        case 0:
          return kOsCodeWin2000;
        case 1:
          return kOsCodeWinXp;
        case 2:
          return kOsCodeWin2003;
        default:
          return kOsCodeOther;
      }
    }
  }
  return kOsCodeOther;
}

uint32_t CurrentOsCode() {
  zor::Host& host = zor::CurrentHost();
  zor::OsVersion v;
  if (host.GetVersionInfo(true, &v) || host.GetVersionInfo(false, &v)) return OsCodeOf(v);
  return kOsCodeOther;
}
