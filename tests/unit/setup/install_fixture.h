// A machine for the install actions: the folders and registry keys a
// Windows system has before the setup runs, with the product's files
// unpacked into D:\Apps\Lumaglimpse\.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"
#include "setup/install_actions.h"
#include "setup/string_source.h"

namespace zor_test {

// The string table of a language module, English unless changed.
class TableStrings : public zor::IStringSource {
 public:
  TableStrings() {
    texts[zor::kIdsQuickLaunchLink] = L"\\Microsoft\\Internet Explorer\\Quick Launch\\Tarvex Lumaglimpse.lnk";
    texts[zor::kIdsProgramLink] = L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse.lnk";
    texts[zor::kIdsHelpLink] = L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse Help.lnk";
    texts[zor::kIdsUninstallLink] = L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse Uninstall.lnk";
    texts[zor::kIdsDesktopLink] = L"\\Tarvex Lumaglimpse.lnk";
  }
  std::wstring GetString(uint32_t id) override {
    auto it = texts.find(id);
    return it == texts.end() ? std::wstring() : it->second;
  }
  std::map<uint32_t, std::wstring> texts;
};

inline const wchar_t kDir[] = L"D:\\Apps\\Lumaglimpse\\";
inline const wchar_t kPrograms[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
inline const wchar_t kDesktop[] = L"C:\\Users\\Public\\Desktop";
inline const wchar_t kAppData[] = L"C:\\Users\\admin\\AppData\\Roaming";
inline const wchar_t kCommonAppData[] = L"C:\\ProgramData";

inline std::vector<uint8_t> Utf16(const std::wstring& s) {
  std::string bytes;
  zor::AppendUtf16Le(bytes, s);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline std::vector<uint8_t> Dword(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// A Windows 7 machine as the setup finds it: the shell folders the install
// actions use, the registry keys every system has, and `extraDirs`.
inline void PrepareMachine(zor::TestHost& h, std::initializer_list<const wchar_t*> extraDirs) {
  for (const wchar_t* d : {L"C:\\Windows\\System32\\Drivers", kCommonAppData, kPrograms, L"C:\\Users",
                           L"C:\\Users\\Public", kDesktop, kAppData})
    h.AddDirectory(d);
  for (const wchar_t* d : extraDirs) h.AddDirectory(d);
  h.specialFolders[zor::kCsidlCommonPrograms] = kPrograms;
  h.specialFolders[zor::kCsidlCommonDesktop] = kDesktop;
  h.specialFolders[zor::kCsidlAppData] = kAppData;
  h.specialFolders[zor::kCsidlCommonAppData] = kCommonAppData;
  for (const wchar_t* key : {zor::kSoftwareRoot, zor::kUninstallRoot, zor::kServicesRoot})
    h.registry[{zor::kHkeyLocalMachine, zor::TestHost::Normalize(key)}];
  h.versionEx = zor::OsVersion{6, 1, 7601};
}

class InstallFixture : public ::testing::Test {
 protected:
  InstallFixture() : scope_(&host_), actions_(&strings_) {
    for (const wchar_t* d :
         {L"D:\\Apps", L"D:\\Apps\\Lumaglimpse", L"D:\\Apps\\Lumaglimpse\\gui", L"C:\\Windows",
          L"C:\\Windows\\System32", L"C:\\Windows\\System32\\Drivers", L"C:\\Windows\\SysWOW64",
          L"C:\\Windows\\SysWOW64\\Drivers", L"C:\\ProgramData", L"C:\\ProgramData\\Microsoft",
          L"C:\\ProgramData\\Microsoft\\Windows", L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu", kPrograms,
          L"C:\\Users", L"C:\\Users\\Public", kDesktop, L"C:\\Users\\admin", L"C:\\Users\\admin\\AppData", kAppData,
          L"C:\\Users\\admin\\AppData\\Roaming\\Microsoft",
          L"C:\\Users\\admin\\AppData\\Roaming\\Microsoft\\Internet Explorer",
          L"C:\\Users\\admin\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch"})
      host_.AddDirectory(d);
    host_.specialFolders[zor::kCsidlCommonPrograms] = kPrograms;
    host_.specialFolders[zor::kCsidlCommonDesktop] = kDesktop;
    host_.specialFolders[zor::kCsidlAppData] = kAppData;
    host_.specialFolders[zor::kCsidlCommonAppData] = kCommonAppData;
    for (const wchar_t* key : {zor::kSoftwareRoot, zor::kUninstallRoot, zor::kServicesRoot})
      host_.registry[{zor::kHkeyLocalMachine, zor::TestHost::Normalize(key)}];
    actions_.m_strInstallDir = kDir;
  }

  void Unpack(const std::wstring& name, const std::string& bytes) { host_.AddFile(kDir + name, bytes); }

  zor::TestHost host_;
  zor::ScopedHost scope_;
  TableStrings strings_;
  zor::CInstallActions actions_;
};

}  // namespace zor_test
