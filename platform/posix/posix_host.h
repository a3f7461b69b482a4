#pragma once

#include <map>

#include "platform/host.h"
#include "platform/profile_section.h"

namespace zor {

class PosixHost : public Host {
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

  // Special folders have no meaning on Linux; tools map the ones they need.
  void MapSpecialFolder(int csidl, const std::wstring& path);

  // Backslashes become slashes; the text is passed to the system as UTF-8.
  std::string NativePath(const std::wstring& path) const;

 private:
  std::map<int, std::wstring> folders_;
};

}  // namespace zor
