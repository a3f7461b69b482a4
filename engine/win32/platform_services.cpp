// Windows side of the engine's platform services.
#include <windows.h>

#include "engine/log_window.h"
#include "engine/system_error.h"

namespace zor {

void PlatformSendLogText(WindowHandle window, uint32_t message, const char16_t* text, uint32_t bytes) {
  if (!window) return;
  SendMessageW(reinterpret_cast<HWND>(window), message, reinterpret_cast<WPARAM>(text),
               static_cast<LPARAM>(bytes));
}

std::wstring PlatformErrorText(long code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring out = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  return out;
}

}  // namespace zor
