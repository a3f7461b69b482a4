// The test host: every operating-system answer held in memory and chosen by
// the test, with switches for version, language, rights and failures.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/host.h"

namespace zor {

class TestHost : public Host {
 public:
  struct Message {
    std::wstring text;
    std::wstring caption;
    uint32_t flags;
  };
  struct RegValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
  };
  // Values by lower-case name; the original spelling is kept in `names`.
  struct RegKeyData {
    std::map<std::wstring, RegValue> values;
  };

  TestHost();
  ~TestHost() override;

  // ---- Files (paths compare case-insensitively; '/' equals '\')
  void AddFile(const std::wstring& path, const std::string& bytes);
  std::optional<std::string> FileBytes(const std::wstring& path) const;
  bool HasFile(const std::wstring& path) const;
  void AddDirectory(const std::wstring& path);
  bool HasDirectory(const std::wstring& path) const;
  // Every file path held, in the spelling first used.
  std::vector<std::wstring> FilePaths() const;

  // Folder creation: every path asked for, in order and as spelled; an
  // error injected per path (compared normalized); drive letters (lower
  // case) of drives that do not exist, where every creation fails with
  // kErrPathNotFound. "X:" answers kErrAlreadyExists and "X:\"
  // kErrAccessDenied, as the system does for an existing drive.
  std::vector<std::wstring> directoryRequests;
  std::map<std::wstring, long> createDirectoryErrors;
  std::wstring missingDrives;

  std::set<std::wstring> lockedFiles;    // open fails: sharing violation
  std::set<std::wstring> readOnlyFiles;  // open for writing fails: access denied
  // Reads of a file (by path) fail with kErrIoDevice once this many of its
  // bytes have been read: a disk that gives up part-way.
  std::map<std::wstring, size_t> readFaults;
  // Writes to a file (by path) stop once it holds this many bytes: a disk
  // that fills up part-way.
  std::map<std::wstring, size_t> writeFaults;

  // ---- Registry
  void SetRegValue(uint32_t root, const std::wstring& key, const std::wstring& name, uint32_t type,
                   const std::vector<uint8_t>& data);
  std::optional<RegValue> GetRegValue(uint32_t root, const std::wstring& key, const std::wstring& name) const;
  bool HasRegKey(uint32_t root, const std::wstring& key) const;
  std::map<std::pair<uint32_t, std::wstring>, RegKeyData> registry;
  bool failRegCreate = false;
  bool failRegSet = false;
  bool failRegDelete = false;
  // Failures for single keys (by path under any root) and value names.
  std::set<std::wstring> failRegOpenKeys;
  std::set<std::wstring> failRegCreateKeys;
  std::set<std::wstring> failRegSetNames;
  // Every value written, in order.
  struct RegWrite {
    uint32_t root;
    std::wstring key;  // normalized
    std::wstring name;
    uint32_t type;
    std::vector<uint8_t> data;
  };
  std::vector<RegWrite> regWrites;
  // Keys opened or created and not closed yet.
  size_t OpenRegKeyCount() const { return openKeys_.size(); }

  // ---- System
  std::optional<OsVersion> versionEx;
  std::optional<OsVersion> versionBasic;
  uint16_t langId = 0x0409;
  std::map<int, std::wstring> specialFolders;
  std::set<std::wstring> devices;
  std::wstring modulePath = L"C:\\Setup\\setup.exe";
  std::wstring tempFolder = L"C:\\Temp\\";
  std::wstring currentFolder = L"C:\\Work";
  std::wstring systemFolder = L"C:\\Windows\\System32";
  std::wstring windowsFolder = L"C:\\Windows";

  // ---- WOW64. While `isWow64` is set and redirection is on, every file
  // operation under `systemFolder` lands in `sysWow64Folder`, as the system
  // does for a 32-bit process.
  bool isWow64 = false;
  bool is64BitWindows = false;  // also reported when `isWow64` is set
  bool hasRedirectionControl = true;  // the Wow64...FsRedirection entry points exist
  std::wstring sysWow64Folder = L"C:\\Windows\\SysWOW64";
  bool redirectionDisabled = false;
  int redirectionDisableCalls = 0;
  int redirectionRevertCalls = 0;

  // ---- Shell. A link is saved only into an existing folder, as a file.
  std::vector<ShellLink> shellLinks;  // every link saved, in order
  bool failShellLinks = false;
  struct StartedProgram {
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring folder;
    int show;
  };
  std::vector<StartedProgram> startedPrograms;
  bool failStartProgram = false;
  // The access list text each folder was created with (by normalized path).
  std::map<std::wstring, std::wstring> directorySddl;
  // Held folders (by normalized path): not removed while held.
  // A removed folder is taken out of `directorySddl` too.
  bool IsHeld(const std::wstring& path) const;
  bool failHeldFolders = false;  // CreateHeldFolder fails: access denied

  // ---- Named events held by any process.
  std::set<std::wstring> namedEvents;
  bool failCreateEvent = false;

  // ---- Modules: a module loads when its file exists. Resources and entry
  // points are given per module file; an empty module path means the
  // running program (`modulePath`).
  void AddResource(const std::wstring& module, const std::wstring& type, uint32_t id, const std::string& bytes);
  void AddModuleProc(const std::wstring& module, const std::string& name, void* proc);
  // Paths of the modules loaded and not unloaded, in load order.
  std::vector<std::wstring> LoadedModules() const;
  // Imports by module path. LoadModuleWithItsImports loads a module only
  // when each is in the module's own folder (or already loaded by name, or
  // in the system folder, where the loader looks next); LoadModule checks
  // nothing.
  std::map<std::wstring, std::vector<std::wstring>> moduleImports;
  // Whether the module loaded from `path` came through
  // LoadModuleWithItsImports.
  bool LoadedWithItsImports(const std::wstring& path) const;

  // ---- Process exit: ExitProcess throws this, so a test can catch it.
  struct ProcessExit {
    uint32_t code;
  };

  // ---- User
  std::vector<Message> messages;
  int messageBoxAnswer = kIdOk;
  std::vector<std::wstring> debugLines;

  // ---- Host
  std::unique_ptr<File> OpenFile(const std::wstring& path, FileAccess access, uint32_t share, FileCreate create,
                                 long* error = nullptr) override;
  bool CanOpenDevice(const std::wstring& path) override;
  bool CreateDirectory(const std::wstring& path, long* error = nullptr) override;
  // Refuses a file that is open, read-only or the image of a loaded module.
  bool DeleteFile(const std::wstring& path) override;
  bool MoveFile(const std::wstring& from, const std::wstring& to) override;
  bool FileExists(const std::wstring& path) override;
  bool DirectoryExists(const std::wstring& path) override;
  bool ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) override;
  std::wstring ModulePath() override;
  std::wstring TempFolder() override;
  std::wstring CurrentFolder() override;
  size_t ReadProfileSection(const std::wstring& file, const std::wstring& section, wchar_t* buffer,
                            size_t capacity) override;
  long RegOpenKey(uint32_t root, const std::wstring& path, RegKey* key) override;
  long RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) override;
  long RegSetValue(RegKey key, const std::wstring& name, uint32_t type, const uint8_t* data,
                   uint32_t size) override;
  long RegQueryValue(RegKey key, const std::wstring& name, uint32_t* type, std::vector<uint8_t>* data) override;
  long RegDeleteValue(RegKey key, const std::wstring& name) override;
  long RegCloseKey(RegKey key) override;
  bool GetVersionInfo(bool extended, OsVersion* out) override;
  uint16_t SystemDefaultLangId() override;
  std::wstring SpecialFolderPath(int csidl) override;
  // Windows-1252, whatever langId says.
  std::wstring AnsiToWide(std::string_view text) override;
  int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) override;
  void DebugOutput(const std::wstring& text) override;
  bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool failIfExists,
                  long* error = nullptr) override;
  bool CreateDirectoryWithSddl(const std::wstring& path, const std::wstring& sddl, long* error = nullptr) override;
  std::wstring SystemFolder() override;
  std::wstring WindowsFolder() override;
  bool IsWow64() override;
  bool Is64BitWindows() override;
  bool DisableFsRedirection(uintptr_t* cookie) override;
  bool RevertFsRedirection(uintptr_t cookie) override;
  bool CreateShellLink(const ShellLink& link) override;
  bool StartProgram(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder, int show) override;
  long CreateNamedEvent(const std::wstring& name) override;
  long CreateHeldFolder(const std::wstring& path, const std::wstring& sddl, FolderHold* hold) override;
  void ReleaseHeldFolder(FolderHold hold) override;
  bool RemoveFolder(const std::wstring& path) override;
  Module LoadModule(const std::wstring& path) override;
  Module LoadModuleWithItsImports(const std::wstring& path) override;
  void UnloadModule(Module module) override;
  void* ModuleProc(Module module, const std::string& name) override;
  bool ReadResource(Module module, const std::wstring& type, uint32_t id, std::string* bytes) override;
  [[noreturn]] void ExitProcess(uint32_t code) override;

  // The path a file operation of this process reaches (WOW64 redirection).
  std::wstring Physical(const std::wstring& path) const;

  // The key form used in `registry` and the file maps.
  static std::wstring Normalize(const std::wstring& path);

 private:
  struct FileData {
    std::wstring spelling;
    std::string bytes;
    int openCount = 0;
    uint32_t share = kShareRead | kShareWrite | kShareDelete;  // common share of open handles
    bool openForWrite = false;
  };
  class MemFile;
  friend class MemFile;

  std::map<std::wstring, FileData> files_;
  std::map<std::wstring, std::wstring> dirs_;
  std::map<RegKey, std::pair<uint32_t, std::wstring>> openKeys_;
  RegKey nextKey_ = 0x1000;
  std::map<std::tuple<std::wstring, std::wstring, uint32_t>, std::string> resources_;
  std::map<std::pair<std::wstring, std::string>, void*> procs_;
  std::map<Module, std::wstring> modules_;  // handle -> normalized path
  std::set<Module> withImports_;
  std::map<FolderHold, std::wstring> holds_;  // handle -> normalized path
  FolderHold nextHold_ = 0x2000;
  Module nextModule_ = 0x10000;
  std::wstring ModuleKey(const std::wstring& module) const;
};

}  // namespace zor
