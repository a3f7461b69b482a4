// FolderMapHost: the host of the running tool, except that system folders
// are only the ones the user mapped on the command line.
//
// Unpacking a package for inspection must not write into the real program
// files or system folder of the machine the tool runs on (on Windows the
// system would answer with them), and on Linux there are no such folders
// at all; so every folder lookup is answered from the mapping, and a folder
// without a mapping is unknown, which makes the extractor skip what lies
// below it.
#pragma once

#include <map>
#include <string>

#include "platform/host.h"

namespace zorpack {

class FolderMapHost : public zor::Host {
 public:
  // Forwards everything else to `inner` (not owned).
  FolderMapHost(zor::Host& inner, std::map<int, std::wstring> folders)
      : inner_(inner), folders_(std::move(folders)) {}

  std::wstring SpecialFolderPath(int csidl) override;
  std::wstring SystemFolder() override { return SpecialFolderPath(0x25); }
  std::wstring WindowsFolder() override { return SpecialFolderPath(0x24); }

  std::unique_ptr<zor::File> OpenFile(const std::wstring& path, zor::FileAccess access, uint32_t share,
                                      zor::FileCreate create, long* error = nullptr) override {
    return inner_.OpenFile(path, access, share, create, error);
  }
  bool CanOpenDevice(const std::wstring& path) override { return inner_.CanOpenDevice(path); }
  bool CreateDirectory(const std::wstring& path, long* error = nullptr) override {
    return inner_.CreateDirectory(path, error);
  }
  bool DeleteFile(const std::wstring& path) override { return inner_.DeleteFile(path); }
  bool MoveFile(const std::wstring& from, const std::wstring& to) override { return inner_.MoveFile(from, to); }
  bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::wstring& path) override { return inner_.DirectoryExists(path); }
  bool ListDirectory(const std::wstring& path, std::vector<zor::DirEntry>* out) override {
    return inner_.ListDirectory(path, out);
  }
  std::wstring ModulePath() override { return inner_.ModulePath(); }
  std::wstring TempFolder() override { return inner_.TempFolder(); }
  std::wstring CurrentFolder() override { return inner_.CurrentFolder(); }
  size_t ReadProfileSection(const std::wstring& file, const std::wstring& section, wchar_t* buffer,
                            size_t capacity) override {
    return inner_.ReadProfileSection(file, section, buffer, capacity);
  }
  long RegOpenKey(uint32_t root, const std::wstring& path, RegKey* key) override {
    return inner_.RegOpenKey(root, path, key);
  }
  long RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) override {
    return inner_.RegCreateKey(root, path, key);
  }
  long RegSetValue(RegKey key, const std::wstring& name, uint32_t type, const uint8_t* data,
                   uint32_t size) override {
    return inner_.RegSetValue(key, name, type, data, size);
  }
  long RegQueryValue(RegKey key, const std::wstring& name, uint32_t* type, std::vector<uint8_t>* data) override {
    return inner_.RegQueryValue(key, name, type, data);
  }
  long RegDeleteValue(RegKey key, const std::wstring& name) override { return inner_.RegDeleteValue(key, name); }
  long RegCloseKey(RegKey key) override { return inner_.RegCloseKey(key); }
  bool GetVersionInfo(bool extended, zor::OsVersion* out) override { return inner_.GetVersionInfo(extended, out); }
  uint16_t SystemDefaultLangId() override { return inner_.SystemDefaultLangId(); }
  std::wstring AnsiToWide(std::string_view text) override { return inner_.AnsiToWide(text); }
  int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) override {
    return inner_.MessageBox(text, caption, flags);
  }
  void DebugOutput(const std::wstring& text) override { inner_.DebugOutput(text); }

 private:
  zor::Host& inner_;
  std::map<int, std::wstring> folders_;
};

}  // namespace zorpack
