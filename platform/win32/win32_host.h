// The Windows host: every seam operation is the Win32 call of the same name.
//
// This header does not include <windows.h>, so portable code that names the
// class never sees the Win32 macros (CreateDirectory, MessageBox, ...) that
// would rename the seam's operations.
#pragma once

#include "platform/host.h"

namespace zor {

// The system's handle for a root key given as its 32-bit value (a RegRoot).
uintptr_t RootKeyHandle(uint32_t root);

class Win32Host : public Host {
 public:
  std::unique_ptr<File> OpenFile(const std::wstring& path, FileAccess access, uint32_t share, FileCreate create,
                                 long* error = nullptr) override;
  bool CanOpenDevice(const std::wstring& path) override;
  bool CreateDirectory(const std::wstring& path, long* error = nullptr) override;
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
  std::wstring AnsiToWide(std::string_view text) override;
  int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) override;
  void DebugOutput(const std::wstring& text) override;

  // Services of the setup program (win32_host_setup.cpp).
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
  bool WideToAnsi(std::wstring_view text, size_t maxBytes, std::string* out) override;
  [[noreturn]] void ExitProcess(uint32_t code) override;
};

}  // namespace zor
