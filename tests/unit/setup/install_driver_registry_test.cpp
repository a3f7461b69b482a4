// The driver build chosen for the running system and the registry entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "install_fixture.h"

namespace zor_test {
namespace {

using zor::CInstallActions;
using zor::TestHost;

const wchar_t kNativeDriver[] = L"C:\\Windows\\System32\\Drivers\\vcapfx.sys";
const wchar_t kWow64Driver[] = L"C:\\Windows\\SysWOW64\\Drivers\\vcapfx.sys";

class InstallDriverTest : public InstallFixture {};

struct DriverCase {
  const char* what;
  std::optional<uint32_t> major;  // none: the version cannot be read
  bool wow64;
  bool windows64;                   // without WOW64: our 64-bit build
  bool redirectionControl;
  bool extendedFails;               // only the basic version record answers
  bool packageHasX64;
  int result;
  std::optional<std::string> native;  // what lands in System32\Drivers
  std::optional<std::string> wow64Folder;  // what lands in SysWOW64\Drivers
  const wchar_t* debugLine;         // must be among the debugger lines, or null
};

TEST_F(InstallDriverTest, TheBuildFollowsTheRunningSystem) {
  const DriverCase cases[] = {
      {"Windows XP", 5, false, false, true, false, true, 1, "xp", std::nullopt, L"Start Driver"},
      {"Windows 2000 from the basic record", 5, false, false, true, true, true, 1, "xp", std::nullopt,
       L"Start Driver"},
      {"32-bit Windows 7", 6, false, false, true, false, true, 1, "vst", std::nullopt, nullptr},
      {"64-bit Windows 7 under WOW64", 6, true, true, true, false, true, 1, "x64", std::nullopt,
       L"64bit copy file"},
      {"WOW64 without the redirection calls copies into the redirected folder", 6, true, true, false, false, true, 1,
       std::nullopt, "x64", L"64bit copy file"},
      {"the 64-bit build on 64-bit Windows", 6, false, true, true, false, true, 1, "x64", std::nullopt,
       L"64bit copy file"},
      {"the package carries no x64 build", 6, true, true, true, false, false, 1, std::nullopt, std::nullopt,
       L"64bit copy file"},
      {"Windows NT 4", 4, false, false, true, false, true, 1, std::nullopt, std::nullopt, nullptr},
      {"a 10.0 report", 10, false, true, true, false, true, 1, std::nullopt, std::nullopt, nullptr},
      {"no version at all", std::nullopt, false, false, true, false, true, 0, std::nullopt, std::nullopt, nullptr},
  };
  for (const DriverCase& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    for (const wchar_t* d : {L"D:\\Apps", L"D:\\Apps\\Lumaglimpse", L"C:\\Windows", L"C:\\Windows\\System32",
                             L"C:\\Windows\\System32\\Drivers", L"C:\\Windows\\SysWOW64",
                             L"C:\\Windows\\SysWOW64\\Drivers"})
      host.AddDirectory(d);
    host.AddFile(std::wstring(kDir) + L"vcapfx.xp", "xp");
    host.AddFile(std::wstring(kDir) + L"vcapfx.vst", "vst");
    if (c.packageHasX64) host.AddFile(std::wstring(kDir) + L"vcapfx.x64", "x64");
    zor::OsVersion v;
    v.major = c.major.value_or(0);
    v.minor = 1;
    host.versionEx = c.major && !c.extendedFails ? std::optional<zor::OsVersion>(v) : std::nullopt;
    host.versionBasic = c.major ? std::optional<zor::OsVersion>(v) : std::nullopt;
    host.isWow64 = c.wow64;
    host.is64BitWindows = c.windows64;
    host.hasRedirectionControl = c.redirectionControl;

    CInstallActions actions;
    actions.m_strInstallDir = kDir;
    EXPECT_EQ(actions.InstallDriver(), c.result) << c.what;
    EXPECT_EQ(host.FileBytes(kNativeDriver), c.native) << c.what;
    EXPECT_EQ(host.FileBytes(kWow64Driver), c.wow64Folder) << c.what;
    if (c.debugLine) {
      EXPECT_NE(std::find(host.debugLines.begin(), host.debugLines.end(), c.debugLine), host.debugLines.end())
          << c.what;
    }
    // Redirection is back on for everything that follows.
    EXPECT_FALSE(host.redirectionDisabled) << c.what;
    EXPECT_EQ(host.redirectionDisableCalls, host.redirectionRevertCalls) << c.what;
  }
}

TEST_F(InstallDriverTest, AFailedCopyIsOnlyToldToTheDebugger) {
  // The driver file is in use by a loaded driver and cannot be replaced.
  Unpack(L"vcapfx.xp", "xp");
  host_.AddFile(kNativeDriver, "loaded");
  host_.lockedFiles.insert(kNativeDriver);
  EXPECT_EQ(actions_.InstallDriver(), 1);
  EXPECT_EQ(host_.FileBytes(kNativeDriver), std::optional<std::string>("loaded"));
  EXPECT_EQ(host_.debugLines, (std::vector<std::wstring>{L"Start Driver", L"Copy File Failed"}));
}

TEST_F(InstallDriverTest, AnUnknownSystemFolderCopiesNothing) {
  Unpack(L"vcapfx.xp", "xp");
  host_.systemFolder.clear();
  EXPECT_EQ(actions_.InstallDriver(), 1);
  EXPECT_FALSE(host_.HasFile(L"D:\\Drivers\\vcapfx.sys"));
  EXPECT_FALSE(host_.HasFile(L"C:\\Drivers\\vcapfx.sys"));
  EXPECT_EQ(host_.debugLines.back(), L"Copy File Failed");
}

// ---- Registry

class RegistryTest : public InstallFixture {
 protected:
  void RegisterAll(int32_t lang) {
    ASSERT_EQ(actions_.RegisterUninstall(zor::kProductName, CInstallActions::UninstallCommand(kDir)), 1);
    ASSERT_EQ(actions_.RegisterProduct(zor::kProductName, CInstallActions::ProgramPath(kDir), kDir, L"3.0.1",
                                       zor::kProductCompany, lang),
              1);
  }
  std::optional<std::vector<uint8_t>> Value(const std::wstring& key, const std::wstring& name) {
    auto v = host_.GetRegValue(zor::kHkeyLocalMachine, key, name);
    if (!v) return std::nullopt;
    return v->data;
  }
};

TEST_F(RegistryTest, EveryValueWithItsTypeInOrder) {
  RegisterAll(7);
  struct Write {
    std::wstring key, name;
    uint32_t type;
    std::vector<uint8_t> data;
  };
  const std::wstring uninstall = TestHost::Normalize(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                                     L"Lumaglimpse3.0");
  const std::wstring product = TestHost::Normalize(L"SOFTWARE\\Tarvex\\Lumaglimpse");
  const std::wstring service = TestHost::Normalize(L"SYSTEM\\CurrentControlSet\\Services\\vcapfx");
  const std::vector<Write> expected = {
      {uninstall, L"DisplayName", zor::kRegSz, Utf16(L"Lumaglimpse")},
      {uninstall, L"UninstallString", zor::kRegSz, Utf16(L"D:\\Apps\\Lumaglimpse\\Uninstall.exe")},
      {uninstall, L"Publisher", zor::kRegSz, Utf16(L"Tarvex")},
      {product, L"Name", zor::kRegSz, Utf16(L"Lumaglimpse")},
      {product, L"Version", zor::kRegSz, Utf16(L"3.0.1")},
      {product, L"InstallPath", zor::kRegSz, Utf16(L"D:\\Apps\\Lumaglimpse\\Lumaglimpse.exe")},
      {product, L"InstallDir", zor::kRegSz, Utf16(L"D:\\Apps\\Lumaglimpse\\")},
      {product, L"company", zor::kRegSz, Utf16(L"Orvantel")},
      {product, L"Lang", zor::kRegDword, Dword(7)},
      {service, L"Start", zor::kRegDword, Dword(1)},
      {service, L"Type", zor::kRegDword, Dword(1)},
      {service, L"ErrorControl", zor::kRegDword, Dword(0)},
      {service, L"Group", zor::kRegSz, Utf16(L"Extended base")},
  };
  ASSERT_EQ(host_.regWrites.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& got = host_.regWrites[i];
    EXPECT_EQ(got.root, zor::kHkeyLocalMachine) << i;
    EXPECT_EQ(got.key, expected[i].key) << i;
    EXPECT_EQ(got.name, expected[i].name) << i;
    EXPECT_EQ(got.type, expected[i].type) << i;
    EXPECT_EQ(got.data, expected[i].data) << i;
  }
  // Strings are stored without a terminating zero: 20 characters, 40 bytes.
  EXPECT_EQ(Value(L"SOFTWARE\\Tarvex\\Lumaglimpse", L"InstallDir")->size(), 40u);
  EXPECT_EQ(host_.OpenRegKeyCount(), 0u);
}

TEST_F(RegistryTest, LangIsWrittenWhateverItsValue) {
  const struct {
    int32_t lang;
    std::vector<uint8_t> bytes;
  } cases[] = {{0, Dword(0)}, {21, Dword(21)}, {22, Dword(22)}, {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
               {0x7FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}};
  for (const auto& c : cases) {
    RegisterAll(c.lang);
    EXPECT_EQ(Value(L"SOFTWARE\\Tarvex\\Lumaglimpse", L"Lang"), c.bytes) << c.lang;
  }
}

TEST_F(RegistryTest, ARepairRewritesEveryValueAndOnlyTheLanguageChanges) {
  RegisterAll(1);
  auto before = host_.registry;
  host_.regWrites.clear();
  RegisterAll(3);
  EXPECT_EQ(host_.regWrites.size(), 13u);
  for (const auto& [key, data] : host_.registry) {
    for (const auto& [name, value] : data.values) {
      const auto& old = before[key].values[name];
      if (name == L"lang")
        EXPECT_EQ(value.data, Dword(3));
      else
        EXPECT_EQ(value.data, old.data) << zor::ToUtf8(name);
    }
  }
}

struct KeyFailure {
  const char* what;
  void (*arrange)(TestHost&);
  int uninstallResult;
  int productResult;
  bool entryKey, productKey, serviceKey;
};

TEST_F(RegistryTest, KeyFailuresEndTheirOperationAndCloseWhatWasOpened) {
  const KeyFailure cases[] = {
      {"uninstall list missing",
       [](TestHost& h) { h.registry.erase({zor::kHkeyLocalMachine, TestHost::Normalize(zor::kUninstallRoot)}); }, 0,
       1, false, true, true},
      {"uninstall entry cannot be created",
       [](TestHost& h) { h.failRegCreateKeys.insert(std::wstring(zor::kUninstallRoot) + L"\\Lumaglimpse3.0"); }, 0, 1,
       false, true, true},
      {"SOFTWARE cannot be opened: no product key and no service key",
       [](TestHost& h) { h.failRegOpenKeys.insert(L"SOFTWARE"); }, 1, 0, true, false, false},
      {"product key cannot be created: no service key either",
       [](TestHost& h) { h.failRegCreateKeys.insert(zor::kProductKey); }, 1, 0, true, false, false},
      {"services key cannot be opened",
       [](TestHost& h) { h.failRegOpenKeys.insert(zor::kServicesRoot); }, 1, 0, true, true, false},
      {"service key cannot be created",
       [](TestHost& h) { h.failRegCreateKeys.insert(L"SYSTEM\\CurrentControlSet\\Services\\vcapfx"); }, 1, 0, true,
       true, false},
  };
  for (const KeyFailure& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    for (const wchar_t* key : {zor::kSoftwareRoot, zor::kUninstallRoot, zor::kServicesRoot})
      host.registry[{zor::kHkeyLocalMachine, TestHost::Normalize(key)}];
    c.arrange(host);
    CInstallActions actions;
    EXPECT_EQ(actions.RegisterUninstall(zor::kProductName, CInstallActions::UninstallCommand(kDir)),
              c.uninstallResult)
        << c.what;
    EXPECT_EQ(actions.RegisterProduct(zor::kProductName, CInstallActions::ProgramPath(kDir), kDir, L"3.0",
                                      zor::kProductCompany, 1),
              c.productResult)
        << c.what;
    auto has = [&](const std::wstring& key, const wchar_t* value) {
      return host.GetRegValue(zor::kHkeyLocalMachine, key, value).has_value();
    };
    EXPECT_EQ(has(std::wstring(zor::kUninstallRoot) + L"\\Lumaglimpse3.0", L"DisplayName"), c.entryKey) << c.what;
    EXPECT_EQ(has(zor::kProductKey, L"Lang"), c.productKey) << c.what;
    EXPECT_EQ(has(L"SYSTEM\\CurrentControlSet\\Services\\vcapfx", L"Group"), c.serviceKey) << c.what;
    EXPECT_EQ(host.OpenRegKeyCount(), 0u) << c.what;
  }
}

TEST_F(RegistryTest, AValueThatCannotBeWrittenIsSkipped) {
  host_.failRegSetNames.insert(L"Version");
  RegisterAll(2);
  EXPECT_FALSE(Value(zor::kProductKey, L"Version"));
  EXPECT_EQ(Value(zor::kProductKey, L"InstallDir"), Utf16(kDir));
  EXPECT_EQ(Value(zor::kProductKey, L"Lang"), Dword(2));
  EXPECT_EQ(Value(L"SYSTEM\\CurrentControlSet\\Services\\vcapfx", L"Start"), Dword(1));
}

}  // namespace
}  // namespace zor_test
