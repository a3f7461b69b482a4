#include "uninstall/file_removal.h"

#include <algorithm>
#include <memory>

#include "common/std_stream.h"
#include "uninstall/install_dir.h"

namespace luma {

void RemovalReport::Failed(const std::wstring& item, const std::wstring& reason) {
  failed_.push_back(L"Could not remove " + item + L": " + reason);
}

void RemovalReport::FailedWithError(const std::wstring& item, DWORD error) { Failed(item, ErrorText(error)); }

void RemovalReport::Deferred(const std::wstring& path) {
  deferredPaths_.push_back(path);
  deferred_.push_back(L"Will be removed when Windows restarts: " + path);
}

void RemovalReport::Kept(const std::wstring& item, const std::wstring& reason) {
  kept_.push_back(L"Kept " + item + L": " + reason);
}

bool RemovalReport::IsDeferred(const std::wstring& path) const {
  return std::any_of(deferredPaths_.begin(), deferredPaths_.end(),
                     [&path](const std::wstring& deferred) { return SamePath(deferred, path); });
}

std::wstring RemovalReport::Text() const {
  std::wstring text;
  for (const auto* group : {&failed_, &deferred_, &kept_}) {
    for (const std::wstring& line : *group) text += line + L"\r\n";
  }
  return text;
}

int RemovalReport::ExitCode() const {
  if (HasFailures()) return kExitFailed;
  if (HasDeferred()) return kExitRestartNeeded;
  return kExitDone;
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

bool Gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Errors that mean "someone has it open", not "you may not".
bool InUse(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Scheduling needs the rights to write the system's pending-operations list;
// an item we may not delete cannot be scheduled either, so the original
// error is what the user needs to see.
void DeferOrFail(const std::wstring& path, DWORD error, RemovalReport& report) {
  if (InUse(error) && MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    report.Deferred(path);
  } else {
    report.FailedWithError(path, error);
  }
}

}  // namespace

void RemoveFile(const std::wstring& path, RemovalReport& report) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    if (!Gone(error)) report.FailedWithError(path, error);
    return;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    report.Failed(path, L"a folder has the name of a file Lumaglimpse installed");
    return;
  }
  // A read-only copy (as from a read-only medium) is still ours to remove.
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (DeleteFileW(path.c_str())) return;
  DWORD error = GetLastError();
  if (Gone(error)) return;
  DeferOrFail(path, error, report);
}

std::wstring ShortList(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  std::wstring text;
  const size_t shown = std::min<size_t>(names.size(), 3);
  for (size_t i = 0; i < shown; ++i) text += (i ? L", " : L"") + names[i];
  if (names.size() > shown) text += L" and " + std::to_wstring(names.size() - shown) + L" more";
  return text;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::wstring pattern = folder;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

void RemoveFolderIfEmpty(const std::wstring& folder, RemovalReport& report, bool reportKept) {
  std::wstring path = folder;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  if (!FolderExists(path)) return;
  if (RemoveDirectoryW(path.c_str())) return;
  DWORD error = GetLastError();
  if (Gone(error)) return;
  std::vector<std::wstring> left;
  bool anyDeferred = false;
  for (const std::wstring& name : FolderEntries(path)) {
    if (report.IsDeferred(path + L"\\" + name)) {
      anyDeferred = true;
    } else {
      left.push_back(name);
    }
  }
  if (!left.empty()) {
    if (!reportKept) return;
    report.Kept(path, L"it holds items that Lumaglimpse did not install (" + ShortList(left) + L")");
    return;
  }
  if (anyDeferred || InUse(error)) {
    if (MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
      report.Deferred(path);
      return;
    }
    error = GetLastError();
  }
  report.FailedWithError(path, error);
}

std::optional<bool> FilesEqual(const std::wstring& a, const std::wstring& b) {
  struct Closer {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  using File = std::unique_ptr<void, Closer>;
  auto open = [](const std::wstring& path) -> File {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return File(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
  };
  File first = open(a);
  File second = open(b);
  if (!first || !second) return std::nullopt;
  LARGE_INTEGER firstSize = {};
  LARGE_INTEGER secondSize = {};
  if (!GetFileSizeEx(first.get(), &firstSize) || !GetFileSizeEx(second.get(), &secondSize)) return std::nullopt;
  if (firstSize.QuadPart != secondSize.QuadPart) return false;
  constexpr DWORD kChunk = 64 * 1024;
  std::unique_ptr<char[]> one(new char[kChunk]);
  std::unique_ptr<char[]> two(new char[kChunk]);
  for (;;) {
    DWORD gotOne = 0;
    DWORD gotTwo = 0;
    if (!ReadFile(first.get(), one.get(), kChunk, &gotOne, nullptr) ||
        !ReadFile(second.get(), two.get(), kChunk, &gotTwo, nullptr)) {
      return std::nullopt;
    }
    if (gotOne != gotTwo) return false;
    if (gotOne == 0) return true;
    if (!std::equal(one.get(), one.get() + gotOne, two.get())) return false;
  }
}

}  // namespace luma
