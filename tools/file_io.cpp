#include "tools/file_io.h"

#include "platform/host.h"

namespace zor {

std::string HostErrorText(long error) {
  switch (error) {
    case kErrFileNotFound: return "no such file";
    case kErrPathNotFound: return "no such folder";
    case kErrAccessDenied: return "access denied";
    case kErrSharingViolation: return "the file is in use by another program";
    case kErrAlreadyExists: return "the file already exists";
    default: return "system error " + std::to_string(error);
  }
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes, std::string* error) {
  long code = kErrSuccess;
  std::unique_ptr<File> file = CurrentHost().OpenFile(path, FileAccess::kRead, kShareRead, FileCreate::kOpenExisting, &code);
  if (!file) {
    *error = HostErrorText(code);
    return false;
  }
  bytes->clear();
  char chunk[65536];
  for (;;) {
    int64_t n = file->Read(chunk, sizeof chunk);
    if (n < 0) {
      *error = "read error";
      return false;
    }
    if (n == 0) return true;
    bytes->append(chunk, static_cast<size_t>(n));
  }
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, bool replace, std::string* error) {
  long code = kErrSuccess;
  std::unique_ptr<File> file = CurrentHost().OpenFile(path, FileAccess::kWrite, kShareNone,
                                                      replace ? FileCreate::kCreateAlways : FileCreate::kCreateNew, &code);
  if (!file) {
    *error = HostErrorText(code);
    return false;
  }
  if ((!bytes.empty() && file->Write(bytes.data(), bytes.size()) != static_cast<int64_t>(bytes.size())) ||
      !file->Flush()) {
    // A cut-off file would pass for a whole one later.
    file.reset();
    CurrentHost().DeleteFile(path);
    *error = "write error";
    return false;
  }
  return true;
}

}  // namespace zor
