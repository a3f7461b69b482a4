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
#include <optional>
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
  kErrInvalidFunction = 1,
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrAccessDenied = 5,
  kErrInvalidHandle = 6,
  kErrNotEnoughMemory = 8,
  kErrSharingViolation = 32,
  kErrInvalidName = 123,
  kErrAlreadyExists = 183,
  kErrIoDevice = 1117,
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

// Special folder ids (the Win32 CSIDL_* numbers) the setup asks for.
enum SpecialFolder : int {
  kCsidlCommonPrograms = 0x17,
  kCsidlCommonDesktop = 0x19,
  kCsidlAppData = 0x1A,
  kCsidlCommonAppData = 0x23,
  kCsidlProgramFiles = 0x26,
};

// Window show commands (the Win32 SW_* numbers).
enum ShowCommand : int { kSwHide = 0, kSwShowNormal = 1, kSwShow = 5 };

// One shell link as the shell link object stores it. Absent fields are not
// set on the object at all, which is not the same as setting them empty.
struct ShellLink {
  std::wstring target;
  std::wstring linkPath;
  std::optional<std::wstring> arguments;
  std::optional<std::wstring> workingFolder;
  std::optional<std::wstring> description;
};

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
  // The system's error number for the last Read or Write that failed, so a
  // failure part-way through a file can be told; kErrSuccess when none
  // failed or the file cannot tell.
  virtual long LastError() const { return kErrSuccess; }
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
  // `error` receives the system's error number when the folder was not
  // made (kErrAlreadyExists for an existing one, kErrAccessDenied for a
  // drive root, kErrPathNotFound when the parent or drive is missing).
  virtual bool CreateDirectory(const std::wstring& path, long* error = nullptr) = 0;
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

  // ---- Services the setup program needs beyond the package tools.
  // Each has a default that answers as a system without the service would,
  // so hosts that never install anything need not implement them.

  // CopyFileW. With `failIfExists` false an existing target is replaced.
  // The default copies through OpenFile.
  virtual bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool failIfExists,
                          long* error = nullptr);
  // CreateDirectoryW with the security descriptor described by `sddl`
  // (revision 1) in non-inheritable security attributes. An existing folder
  // is an error (kErrAlreadyExists) and keeps its own access list. The
  // default creates the folder with CreateDirectory and no access list.
  virtual bool CreateDirectoryWithSddl(const std::wstring& path, const std::wstring& sddl, long* error = nullptr);
  // GetCurrentDirectoryW: the folder relative paths are taken against, as
  // an absolute path; empty when unknown (the default).
  virtual std::wstring CurrentFolder();

  // GetSystemDirectoryW and GetWindowsDirectoryW: no trailing separator;
  // empty when unknown (the default).
  virtual std::wstring SystemFolder();
  virtual std::wstring WindowsFolder();

  // True when this is a 32-bit process on 64-bit Windows (IsWow64Process,
  // false where the system lacks it).
  virtual bool IsWow64();
  // True on 64-bit Windows, whether this process runs under WOW64 or is a
  // 64-bit process itself.
  virtual bool Is64BitWindows();
  // Wow64DisableWow64FsRedirection: false when the system lacks it or there
  // is nothing to disable. `cookie` receives the value to hand back to
  // RevertFsRedirection.
  virtual bool DisableFsRedirection(uintptr_t* cookie);
  virtual bool RevertFsRedirection(uintptr_t cookie);

  // Writes `link` through the shell link object (COM initialised and
  // released around the call). False when the link was not saved.
  virtual bool CreateShellLink(const ShellLink& link);
  // ShellExecuteW with no owner window; true when the system reports the
  // program started. `folder` empty means no working folder.
  virtual bool StartProgram(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                            const std::wstring& folder, int show);

  // CreateEventW (auto-reset, not signalled, no security attributes) with a
  // name. kErrSuccess: the event is new and its handle stays open for the
  // life of the process. kErrAlreadyExists: another process holds it; the
  // handle has been closed again. Anything else: the call failed.
  virtual long CreateNamedEvent(const std::wstring& name);

  // A folder made and opened in one step (NtCreateFile creating a
  // directory) and held open, without letting others delete, until
  // ReleaseHeldFolder: while held, nobody can rename it away and put
  // another folder under its name, so what this process writes there and
  // later loads is what it finds there. `sddl` (revision 1) is its access
  // list; a text the system refuses makes nothing. kErrSuccess with
  // `hold` set, kErrAlreadyExists when something of that name exists,
  // another error otherwise. The default holds nothing and fails
  // (kErrInvalidFunction).
  using FolderHold = uintptr_t;
  virtual long CreateHeldFolder(const std::wstring& path, const std::wstring& sddl, FolderHold* hold);
  virtual void ReleaseHeldFolder(FolderHold hold);
  // RemoveDirectoryW: removes an empty folder. The default removes nothing.
  virtual bool RemoveFolder(const std::wstring& path);

  // Libraries and their resources. Module 0 is the running program.
  using Module = uintptr_t;
  // LoadLibraryW; 0 on failure.
  virtual Module LoadModule(const std::wstring& path);
  // LoadLibraryExW with LOAD_WITH_ALTERED_SEARCH_PATH on a full path: the
  // libraries the module imports are looked for in its own folder before
  // anywhere else (the program's folder is not searched first). The
  // default is LoadModule.
  virtual Module LoadModuleWithItsImports(const std::wstring& path);
  virtual void UnloadModule(Module module);
  // GetProcAddress; null when missing.
  virtual void* ModuleProc(Module module, const std::string& name);
  // The bytes of resource `id` of type `type` (FindResourceW, LoadResource,
  // LockResource, SizeofResource). False when any step fails.
  virtual bool ReadResource(Module module, const std::wstring& type, uint32_t id, std::string* bytes);

  // WideCharToMultiByte to the ANSI code page of `text` plus its
  // terminating zero into a buffer of `maxBytes`; false (and `out` untouched)
  // when it does not fit. `out` receives the bytes without the zero. The
  // default maps to Windows-1252 and writes '?' for other characters.
  virtual bool WideToAnsi(std::wstring_view text, size_t maxBytes, std::string* out);

  // ExitProcess.
  [[noreturn]] virtual void ExitProcess(uint32_t code);
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
