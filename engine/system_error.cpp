#include "engine/system_error.h"

#include "common/wstr.h"

namespace zor {
namespace {
thread_local long t_lastError = 0;
}

long LastSystemError() { return t_lastError; }
void SetLastSystemError(long code) { t_lastError = code; }

std::wstring SystemErrorText(long code) {
  std::wstring text = PlatformErrorText(code);
  if (text.empty()) text = L"Error " + ToWString(code) + L"\r\n";
  return text;
}

}  // namespace zor
