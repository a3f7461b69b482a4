#include "setup/payloads.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testhost/test_host.h"

namespace {

using zor::TestHost;

class PayloadsTest : public ::testing::Test {
 protected:
  PayloadsTest() : scope_(&host_) {
    for (const wchar_t* d : {L"C:\\Temp", L"C:\\Windows", L"C:\\Windows\\System32", L"C:\\Windows\\SysWOW64"})
      host_.AddDirectory(d);
    for (const zor::PayloadFile& f : zor::kLanguageModules)
      host_.AddResource(L"", zor::kLanguageModuleType, f.resourceId, Content(f));
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      host_.AddResource(L"", zor::kRendererLibraryType, f.resourceId, Content(f));
  }
  static std::string Content(const zor::PayloadFile& f) { return "resource " + std::to_string(f.resourceId); }

  TestHost host_;
  zor::ScopedHost scope_;
};

TEST_F(PayloadsTest, ModulesGoToTempAndLibrariesToTheSystemFolder) {
  EXPECT_EQ(zor::ExtractLanguageModules(0), 1);
  EXPECT_EQ(zor::ExtractRendererLibraries(0), 1);
  for (const zor::PayloadFile& f : zor::kLanguageModules)
    EXPECT_EQ(host_.FileBytes(std::wstring(L"C:\\Temp\\") + f.fileName), Content(f)) << f.resourceId;
  for (const zor::PayloadFile& f : zor::kRendererLibraries)
    EXPECT_EQ(host_.FileBytes(std::wstring(L"C:\\Windows\\System32\\") + f.fileName), Content(f)) << f.resourceId;
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallGe.dll"), std::optional<std::string>("resource 147"));
}

TEST_F(PayloadsTest, AHeldFileKeepsItsContentsAndTheOthersAreStillWritten) {
  host_.AddFile(L"C:\\Windows\\System32\\DevIL.dll", "in use");
  host_.lockedFiles.insert(L"C:\\Windows\\System32\\DevIL.dll");
  host_.AddFile(L"C:\\Temp\\InstallEn.dll", "old english");
  EXPECT_EQ(zor::ExtractRendererLibraries(0), 1);
  EXPECT_EQ(zor::ExtractLanguageModules(0), 1);
  EXPECT_EQ(host_.FileBytes(L"C:\\Windows\\System32\\DevIL.dll"), std::optional<std::string>("in use"));
  EXPECT_EQ(host_.FileBytes(L"C:\\Windows\\System32\\Orbiscene.dll"), std::optional<std::string>("resource 154"));
  // Every start replaces what an earlier one wrote.
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallEn.dll"), std::optional<std::string>("resource 134"));
}

TEST_F(PayloadsTest, SingleExtractionReportsEachFailure) {
  struct Case {
    uint32_t id;
    std::wstring type, name;
    int expected;
    const char* what;
  };
  const Case cases[] = {
      {134, zor::kLanguageModuleType, L"a.dll", 1, "present resource"},
      {999, zor::kLanguageModuleType, L"b.dll", 0, "missing id"},
      {134, zor::kRendererLibraryType, L"c.dll", 0, "id of another type"},
      {134, L"", L"d.dll", 0, "no type"},
      {134, zor::kLanguageModuleType, L"", 0, "no file name"},
      {134, zor::kLanguageModuleType, L"no\\such\\e.dll", 0, "folder missing"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zor::ExtractResourceToTemp(0, c.id, c.type, c.name), c.expected) << c.what;
    if (!c.name.empty()) {
      EXPECT_EQ(host_.HasFile(L"C:\\Temp\\" + c.name), c.expected == 1) << c.what;
    }
  }
}

TEST_F(PayloadsTest, UnknownSystemFolderWritesNothing) {
  host_.systemFolder.clear();
  EXPECT_EQ(zor::ExtractResourceToSystem(0, 151, zor::kRendererLibraryType, L"DevIL.dll"), 0);
  EXPECT_EQ(host_.FilePaths().size(), 0u);
}

TEST_F(PayloadsTest, UnderWow64TheLibrariesLandWhereThe32BitLoaderLooks) {
  host_.isWow64 = true;
  zor::ExtractRendererLibraries(0);
  EXPECT_TRUE(host_.HasFile(L"C:\\Windows\\SysWOW64\\Orbiscene.dll"));
  EXPECT_FALSE(host_.HasFile(L"C:\\Windows\\System32\\Orbiscene.dll"));
  EXPECT_NE(host_.LoadModule(L"C:\\Windows\\System32\\Orbiscene.dll"), 0u);
}

TEST_F(PayloadsTest, LanguageModulesLoadFromTempByRow) {
  zor::ExtractLanguageModules(0);
  EXPECT_EQ(zor::LanguageModulePath(19), L"C:\\Temp\\InstallPT-BR.dll");
  zor::Host::Module m = zor::LoadLanguageModule(19);
  ASSERT_NE(m, 0u);
  ASSERT_EQ(host_.LoadedModules().size(), 1u);
  EXPECT_EQ(host_.LoadedModules()[0], TestHost::Normalize(L"C:\\Temp\\InstallPT-BR.dll"));
  EXPECT_EQ(zor::LoadLanguageModule(22), 0u);
  EXPECT_EQ(zor::LoadLanguageModule(-1), 0u);
  host_.DeleteFile(L"C:\\Temp\\InstallEn.dll");
  EXPECT_EQ(zor::LoadLanguageModule(1), 0u);
}

}  // namespace
