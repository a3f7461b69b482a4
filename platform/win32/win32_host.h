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
  bool CreateDirectory(const std::wstring& path) override;
  bool DeleteFile(const std::wstring& path) override;
  bool MoveFile(const std::wstring& from, const std::wstring& to) override;
  bool FileExists(const std::wstring& path) override;
  bool DirectoryExists(const std::wstring& path) override;
  std::wstring ModulePath() override;
  std::wstring TempFolder() override;
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
};

}  // namespace zor
