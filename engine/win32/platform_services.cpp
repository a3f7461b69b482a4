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

#include <shellapi.h>

#include "engine/shell_file_op.h"

namespace zor {

int PlatformShellFileOp(ShellFileOpRecord& record) {
  // The shell wants the lists as they are: zero-separated and ended by an
  // extra zero; wchar_t is UTF-16 here, so no conversion is needed.
  SHFILEOPSTRUCTW op{};
  op.hwnd = reinterpret_cast<HWND>(record.owner);
  op.wFunc = record.operation;
  op.pFrom = record.from ? record.from : L"\0";
  op.pTo = record.to;
  op.fFlags = record.flags;
  op.hNameMappings = record.nameMappings;
  op.lpszProgressTitle = record.progressTitle;
  int r = SHFileOperationW(&op);
  record.anyOperationsAborted = op.fAnyOperationsAborted;
  record.nameMappings = op.hNameMappings;
  return r;
}

std::wstring PlatformResourceString(uint32_t id) {
  const wchar_t* text = nullptr;
  // With a zero length the call hands out a pointer into the resource itself.
  int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

}  // namespace zor
