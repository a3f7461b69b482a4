// Linux side of the engine's platform services: there are no windows to
// send log lines to, and error texts follow the Windows wording so logs read
// the same whichever system built the package.
#include "engine/log_window.h"
#include "engine/system_error.h"
#include "platform/host.h"

namespace zor {

void PlatformSendLogText(WindowHandle, uint32_t, const char16_t*, uint32_t) {}

std::wstring PlatformErrorText(long code) {
  switch (code) {
    case kErrSuccess: return L"The operation completed successfully.\r\n";
    case kErrFileNotFound: return L"The system cannot find the file specified.\r\n";
    case kErrPathNotFound: return L"The system cannot find the path specified.\r\n";
    case kErrAccessDenied: return L"Access is denied.\r\n";
    case kErrInvalidHandle: return L"The handle is invalid.\r\n";
    case kErrNotEnoughMemory: return L"Not enough memory resources are available to process this command.\r\n";
    case kErrSharingViolation:
      return L"The process cannot access the file because it is being used by another process.\r\n";
    case 80: return L"The file exists.\r\n";
    case 112: return L"There is not enough space on the disk.\r\n";
    case kErrAlreadyExists: return L"Cannot create a file when that file already exists.\r\n";
    case kErrIoDevice: return L"The request could not be performed because of an I/O device error.\r\n";
    default: return std::wstring();
  }
}

}  // namespace zor

#include "engine/shell_file_op.h"

namespace zor {

// There is no shell: the operation is "not supported".
int PlatformShellFileOp(ShellFileOpRecord&) { return 50; }
std::wstring PlatformResourceString(uint32_t) { return std::wstring(); }

}  // namespace zor
