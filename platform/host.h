// The operating-system seam.
//
// Portable code (model, engine, setup logic, tools) reaches the operating
// system only through `Host`. The Windows build implements it with the real
// Win32 calls; the Linux build implements files and folders for the tools;
// the test host implements everything in memory with switches for version,
// language, rights and injected failures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// Root keys keep their Win32 handle values so they can be stored and compared
// as plain numbers.
enum RegRoot : uint32_t {
  kHkeyClassesRoot = 0x80000000u,
  kHkeyCurrentUser = 0x80000001u,
  kHkeyLocalMachine = 0x80000002u,
  kHkeyUsers = 0x80000003u,
};

// Registry value types (the Win32 REG_* numbers).
enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Win32 error numbers the seam reports.
enum HostError : long {
  kErrSuccess = 0,
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrAccessDenied = 5,
  kErrInvalidHandle = 6,
  kErrSharingViolation = 32,
  kErrAlreadyExists = 183,
};

// Message box styles and results (the Win32 MB_* and ID* numbers).
enum MessageBoxFlags : uint32_t {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
};
enum MessageBoxResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 2;  // 1: Windows 95 family, 2: NT family
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint8_t productType = 1;  // 1: workstation
};

enum class FileAccess { kRead, kWrite, kReadWrite };
enum class FileCreate {
  kOpenExisting,   // fail when missing
  kCreateAlways,   // create or truncate
  kOpenAlways,     // open or create, keep contents
  kCreateNew,      // fail when present
};
// Sharing granted to others while the file is open.
enum FileShare : uint32_t { kShareNone = 0, kShareRead = 1, kShareWrite = 2, kShareDelete = 4 };

enum class SeekFrom { kBegin, kCurrent, kEnd };

// One entry of a folder listing.
struct DirEntry {
  std::wstring name;  // the entry's own name, without its folder
  bool isDirectory = false;
  uint64_t size = 0;  // bytes of a file; 0 for a folder
};

// An open file. Operations report failure through their results and never
// throw.
class File {
 public:
  virtual ~File() = default;
  // Bytes read, 0 at end of file, -1 on error.
  virtual int64_t Read(void* buffer, size_t size) = 0;
  // Bytes written (all of them) or -1 on error.
  virtual int64_t Write(const void* buffer, size_t size) = 0;
  // New position, or -1 when the position would be negative or seeking fails.
  virtual int64_t Seek(int64_t offset, SeekFrom from) = 0;
  virtual int64_t Size() = 0;
  virtual bool Flush() = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // ---- Files and folders
  virtual std::unique_ptr<File> OpenFile(const std::wstring& path, FileAccess access, uint32_t share,
                                         FileCreate create, long* error = nullptr) = 0;
  // Opens an existing object for reading, sharing read and write, and closes
  // it at once; used for raw devices such as \\.\PHYSICALDRIVE0.
  virtual bool CanOpenDevice(const std::wstring& path) = 0;
  virtual bool CreateDirectory(const std::wstring& path) = 0;
  virtual bool DeleteFile(const std::wstring& path) = 0;
  // Replaces `to` if it exists.
  virtual bool MoveFile(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool FileExists(const std::wstring& path) = 0;       // a file, not a folder
  virtual bool DirectoryExists(const std::wstring& path) = 0;
  // Replaces `out` with the files and folders directly inside `path`, in no
  // particular order and without "." and "..". Entries that are neither a
  // file nor a folder (devices, pipes, dangling links) are left out. False
  // when the folder cannot be read.
  virtual bool ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) = 0;
  // Full path of the running program.
  virtual std::wstring ModulePath() = 0;
  // Temporary folder, ending in a path separator.
  virtual std::wstring TempFolder() = 0;

  // ---- Initialization files
  // The lines of `section` of `file` as the system's profile-section reader
  // returns them into a buffer of `capacity` characters: each line ends with
  // a zero and the list with an extra zero. Returns the number of characters
  // written, not counting the final zero, like the system call.
  virtual size_t ReadProfileSection(const std::wstring& file, const std::wstring& section,
                                    wchar_t* buffer, size_t capacity) = 0;

  // ---- Registry (keys are opaque non-zero handles)
  using RegKey = uintptr_t;
  virtual long RegOpenKey(uint32_t root, const std::wstring& path, RegKey* key) = 0;
  virtual long RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) = 0;
  virtual long RegSetValue(RegKey key, const std::wstring& name, uint32_t type, const uint8_t* data,
                           uint32_t size) = 0;
  virtual long RegQueryValue(RegKey key, const std::wstring& name, uint32_t* type,
                             std::vector<uint8_t>* data) = 0;
  virtual long RegDeleteValue(RegKey key, const std::wstring& name) = 0;
  virtual long RegCloseKey(RegKey key) = 0;

  // ---- System information
  // The version as GetVersionEx reports it; `extended` asks for the
  // OSVERSIONINFOEX form. False when the call fails.
  virtual bool GetVersionInfo(bool extended, OsVersion* out) = 0;
  virtual uint16_t SystemDefaultLangId() = 0;
  // SHGetSpecialFolderPath without creating the folder; empty on failure.
  virtual std::wstring SpecialFolderPath(int csidl) = 0;
  // 8-bit text in the system's ANSI code page.
  virtual std::wstring AnsiToWide(std::string_view text) = 0;

  // ---- User interaction and diagnostics
  virtual int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) = 0;
  virtual void DebugOutput(const std::wstring& text) = 0;
};

// The host in effect for this process: the platform's own until a test (or a
// tool that maps folders) installs another.
Host& CurrentHost();
// Installs `host` (not owned) and returns the previous one; null restores the
// platform's own.
Host* SetCurrentHost(Host* host);

// Installs a host for the lifetime of the object.
class ScopedHost {
 public:
  explicit ScopedHost(Host* host) : previous_(SetCurrentHost(host)) {}
  ~ScopedHost() { SetCurrentHost(previous_); }
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host* previous_;
};

// The platform's own implementation (Win32 or POSIX).
Host& PlatformHost();

// Folder part of a path including its last separator ("C:\a\b.exe" gives
// "C:\a\"); empty when the path has no separator.
std::wstring FolderOf(const std::wstring& path);
// The folder of the running program, ending in a separator.
std::wstring ModuleFolder();

}  // namespace zor
