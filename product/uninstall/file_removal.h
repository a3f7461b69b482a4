// Removing files and folders while keeping account of what could not go.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace luma {

// What an uninstall run could not finish. "Failed" items are ours and still
// there; "deferred" items go when Windows restarts; "kept" items were left
// on purpose (a folder that holds other files, a shared file another
// program replaced).
class RemovalReport {
 public:
  void Failed(const std::wstring& item, const std::wstring& reason);
  void FailedWithError(const std::wstring& item, DWORD error);
  void Deferred(const std::wstring& path);
  void Kept(const std::wstring& item, const std::wstring& reason);

  bool HasFailures() const { return !failed_.empty(); }
  bool HasDeferred() const { return !deferred_.empty(); }
  bool IsDeferred(const std::wstring& path) const;

  // One line per item, failures first.
  std::wstring Text() const;
  // 0 done, 3010 done once Windows restarts, 1603 something of ours remains
  // (the codes installers use, so that callers can tell).
  int ExitCode() const;

 private:
  std::vector<std::wstring> failed_;
  std::vector<std::wstring> deferredPaths_;
  std::vector<std::wstring> deferred_;
  std::vector<std::wstring> kept_;
};

inline constexpr int kExitDone = 0;
inline constexpr int kExitRestartNeeded = 3010;
inline constexpr int kExitCancelled = 1602;
inline constexpr int kExitFailed = 1603;
inline constexpr int kExitAlreadyRunning = 1618;

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Deletes a file; a missing file is fine. A file in use is scheduled for
// removal at the next restart instead.
void RemoveFile(const std::wstring& path, RemovalReport& report);

// Removes `folder` when it is empty, or when all that is left in it is
// already scheduled for the next restart (then it is scheduled after them).
// A folder that still holds other items is reported as kept when
// `reportKept` is set.
void RemoveFolderIfEmpty(const std::wstring& folder, RemovalReport& report, bool reportKept);

// "a, b, c and 2 more": the first few names, sorted, for a message.
std::wstring ShortList(std::vector<std::wstring> names);

// Names of the entries in a folder (without "." and "..").
std::vector<std::wstring> FolderEntries(const std::wstring& folder);

// Byte-for-byte comparison; nullopt when either file cannot be read.
std::optional<bool> FilesEqual(const std::wstring& a, const std::wstring& b);

}  // namespace luma
