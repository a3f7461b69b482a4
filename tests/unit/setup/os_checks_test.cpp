#include "setup/os_checks.h"

#include <gtest/gtest.h>

#include <optional>

#include "install_fixture.h"

namespace zor_test {
namespace {

using zor::TestHost;

zor::OsVersion Version(uint32_t major, uint32_t minor, uint32_t platform = 2) {
  zor::OsVersion v;
  v.major = major;
  v.minor = minor;
  v.platformId = platform;
  return v;
}

TEST(OsChecks, SupportedVersions) {
  const struct {
    std::optional<zor::OsVersion> ex, basic;
    bool supported;
    const char* what;
  } cases[] = {
      {Version(5, 0), Version(5, 0), true, "Windows 2000"},
      {Version(5, 1), Version(5, 1), true, "Windows XP"},
      {Version(5, 2), Version(5, 2), false, "Server 2003 and XP x64"},
      {Version(4, 0), Version(4, 0), false, "NT 4"},
      {Version(4, 10, 1), Version(4, 10, 1), false, "Windows 98"},
      {Version(6, 0), Version(6, 0), true, "Vista"},
      {Version(6, 1), Version(6, 1), true, "Windows 7"},
      {Version(6, 2), Version(6, 2), true, "what current Windows reports without a compatibility manifest"},
      {Version(6, 3), Version(6, 3), true, "8.1"},
      {Version(10, 0), Version(10, 0), false, "a 10.0 report"},
      {std::nullopt, Version(5, 1), true, "only the basic record answers"},
      {std::nullopt, Version(5, 2), false, "only the basic record answers, 5.2"},
      {std::nullopt, std::nullopt, false, "no version at all"},
  };
  for (const auto& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    host.versionEx = c.ex;
    host.versionBasic = c.basic;
    EXPECT_EQ(zor::IsSupportedOS(), c.supported) << c.what;
  }
}

TEST(OsChecks, AdministratorsCanOpenTheFirstDisk) {
  TestHost host;
  zor::ScopedHost scope(&host);
  EXPECT_FALSE(zor::HasAdminRights());
  host.devices.insert(L"\\\\.\\PHYSICALDRIVE1");
  EXPECT_FALSE(zor::HasAdminRights());
  host.devices.insert(L"\\\\.\\PHYSICALDRIVE0");
  EXPECT_TRUE(zor::HasAdminRights());
}

TEST(OsChecks, OneCopyPerMachine) {
  TestHost host;
  zor::ScopedHost scope(&host);
  EXPECT_TRUE(zor::IsFirstInstance());
  EXPECT_TRUE(host.namedEvents.count(L"Global\\LUMAGLIMPSE3_INSTALL"));
  EXPECT_FALSE(zor::IsFirstInstance());

  TestHost other;
  zor::ScopedHost otherScope(&other);
  other.failCreateEvent = true;
  EXPECT_TRUE(zor::IsFirstInstance());
}

class InstalledDirTest : public InstallFixture {};

TEST_F(InstalledDirTest, RegisteredFolderIsReadBack) {
  auto text = [](const std::wstring& s) { return Utf16(s); };
  std::vector<uint8_t> withZero = Utf16(L"E:\\Tools\\");
  withZero.push_back(0);
  withZero.push_back(0);
  const std::wstring longest(260, L'a');
  const struct {
    std::optional<std::pair<uint32_t, std::vector<uint8_t>>> value;
    std::wstring expected;
    const char* what;
  } cases[] = {
      {std::nullopt, L"", "no value"},
      {std::make_pair(zor::kRegSz, text(kDir)), kDir, "as the setup writes it: no terminating zero"},
      {std::make_pair(zor::kRegSz, withZero), L"E:\\Tools\\", "with a terminating zero"},
      {std::make_pair(zor::kRegExpandSz, text(L"F:\\x\\")), L"F:\\x\\", "expandable text"},
      {std::make_pair(zor::kRegSz, text(longest)), longest, "260 characters fill the buffer exactly"},
      {std::make_pair(zor::kRegSz, text(longest + L"a")), L"", "longer than the buffer"},
      {std::make_pair(zor::kRegDword, Dword(0x41)), L"", "a number is not a folder"},
      {std::make_pair(zor::kRegSz, std::vector<uint8_t>{}), L"", "empty text"},
  };
  for (const auto& c : cases) {
    host_.registry.erase({zor::kHkeyLocalMachine, TestHost::Normalize(zor::kProductKey)});
    host_.registry[{zor::kHkeyLocalMachine, TestHost::Normalize(zor::kProductKey)}];
    if (c.value) {
      host_.SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"InstallDir", c.value->first, c.value->second);
    }
    EXPECT_EQ(zor::GetInstalledDir(), c.expected) << c.what;
    EXPECT_EQ(host_.OpenRegKeyCount(), 0u) << c.what;
  }
}

TEST_F(InstalledDirTest, WhatRegisterProductWritesIsFound) {
  EXPECT_EQ(zor::GetInstalledDir(), L"");
  ASSERT_EQ(actions_.RegisterProduct(zor::kProductName, zor::CInstallActions::ProgramPath(kDir), kDir, L"3.0",
                                     zor::kProductCompany, 0),
            1);
  EXPECT_EQ(zor::GetInstalledDir(), kDir);
  host_.failRegOpenKeys.insert(zor::kProductKey);
  EXPECT_EQ(zor::GetInstalledDir(), L"");
}

}  // namespace
}  // namespace zor_test
