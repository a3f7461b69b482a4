#include "setup/payloads.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(PayloadsTest, ModulesGoToTempAndAHeldOneKeepsItsContents) {
  host_.AddFile(L"C:\\Temp\\InstallEn.dll", "old english");
  host_.AddFile(L"C:\\Temp\\InstallFr.dll", "in use");
  host_.lockedFiles.insert(L"C:\\Temp\\InstallFr.dll");
  EXPECT_EQ(zor::ExtractLanguageModules(0), 1);
  host_.lockedFiles.clear();
  for (const zor::PayloadFile& f : zor::kLanguageModules) {
    if (f.resourceId == 143) continue;
    // Every start replaces what an earlier one wrote.
    EXPECT_EQ(host_.FileBytes(std::wstring(L"C:\\Temp\\") + f.fileName), Content(f)) << f.resourceId;
  }
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallFr.dll"), std::optional<std::string>("in use"));
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallGe.dll"), std::optional<std::string>("resource 147"));
}

// ---- The renderer's folder

const wchar_t kFirst[] = L"C:\\Temp\\LumaglimpseRenderer.1";

TEST_F(PayloadsTest, LibrariesGoToANewHeldFolderOfTheirOwnAndLeaveWithIt) {
  // A 32-bit setup on 64-bit Windows as well: the temp folder is not
  // redirected.
  host_.isWow64 = true;
  const auto before = host_.FilePaths();
  {
    zor::CRendererFolder folder;
    ASSERT_TRUE(folder.Create());
    EXPECT_EQ(folder.Path(), kFirst);
    EXPECT_TRUE(host_.IsHeld(kFirst));
    EXPECT_EQ(host_.directorySddl[TestHost::Normalize(kFirst)], zor::kRendererFolderSddl);
    // Held, it cannot be removed even while empty.
    EXPECT_FALSE(host_.RemoveFolder(kFirst));
    ASSERT_TRUE(folder.WriteLibraries(0));
    for (const zor::PayloadFile& f : zor::kRendererLibraries) {
      EXPECT_EQ(host_.FileBytes(folder.PathOf(f.fileName)), Content(f)) << f.resourceId;
      // Nothing of ours lands where other programs look for libraries.
      EXPECT_FALSE(host_.HasFile(std::wstring(L"C:\\Windows\\System32\\") + f.fileName)) << f.resourceId;
      EXPECT_FALSE(host_.HasFile(std::wstring(L"C:\\Windows\\SysWOW64\\") + f.fileName)) << f.resourceId;
    }
    folder.Remove();
    EXPECT_TRUE(folder.Path().empty());
  }
  EXPECT_FALSE(host_.HasDirectory(kFirst));
  EXPECT_FALSE(host_.IsHeld(kFirst));
  EXPECT_EQ(host_.FilePaths(), before);
}

TEST_F(PayloadsTest, ANameAlreadyTakenIsNeverWrittenIntoOrRemoved) {
  struct Case {
    const char* what;
    bool folder;     // else a file of that name
    bool planted;    // a library waiting inside
    bool held;       // by another setup still running
  };
  const Case cases[] = {
      {"an earlier run's folder", true, true, false},
      {"a folder somebody else made, empty", true, false, false},
      {"the folder of a setup still running", true, true, true},
      {"a file of that name", false, false, false},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    host.AddDirectory(L"C:\\Temp");
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      host.AddResource(L"", zor::kRendererLibraryType, f.resourceId, Content(f));
    zor::Host::FolderHold other = 0;
    if (c.held) {
      ASSERT_EQ(host.CreateHeldFolder(kFirst, L"D:", &other), zor::kErrSuccess);
    } else if (c.folder) {
      host.AddDirectory(kFirst);
    } else {
      host.AddFile(kFirst, "a file");
    }
    if (c.planted) host.AddFile(std::wstring(kFirst) + L"\\d3dx9_35.dll", "planted");
    const auto before = host.FilePaths();
    {
      zor::CRendererFolder folder;
      ASSERT_TRUE(folder.Create()) << c.what;
      EXPECT_EQ(folder.Path(), L"C:\\Temp\\LumaglimpseRenderer.2") << c.what;
      EXPECT_TRUE(folder.WriteLibraries(0)) << c.what;
      folder.Remove();
    }
    EXPECT_EQ(host.FilePaths(), before) << c.what;
    EXPECT_EQ(host.HasDirectory(kFirst), c.folder) << c.what;
    if (c.planted) {
      EXPECT_EQ(host.FileBytes(std::wstring(kFirst) + L"\\d3dx9_35.dll"), std::optional<std::string>("planted"));
    }
    EXPECT_EQ(host.IsHeld(kFirst), c.held) << c.what;
  }
}

TEST_F(PayloadsTest, NoFolderWhenNoNameIsFreeOrTheTempFolderIsUnusable) {
  struct Case {
    const char* what;
    int taken;  // names 1..taken exist
    bool tempFolder;
    bool holdFails;
    bool made;
  };
  const Case cases[] = {
      {"the last name is free", zor::kRendererFolderNames - 1, true, false, true},
      {"every name taken", zor::kRendererFolderNames, true, false, false},
      {"no temp folder on disk", 0, false, false, false},
      {"the folder cannot be made", 0, true, true, false},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    if (c.tempFolder) host.AddDirectory(L"C:\\Temp");
    for (int n = 1; n <= c.taken; ++n) host.AddDirectory(L"C:\\Temp\\LumaglimpseRenderer." + std::to_wstring(n));
    host.failHeldFolders = c.holdFails;
    zor::CRendererFolder folder;
    EXPECT_EQ(folder.Create(), c.made) << c.what;
    EXPECT_EQ(folder.Path().empty(), !c.made) << c.what;
    if (!c.made) {
      EXPECT_FALSE(folder.WriteLibraries(0)) << c.what;
    }
  }
  // A temp folder nobody knows: nothing goes to the current folder either.
  TestHost host;
  zor::ScopedHost scope(&host);
  host.tempFolder.clear();
  zor::CRendererFolder folder;
  EXPECT_FALSE(folder.Create());
  EXPECT_TRUE(host.directorySddl.empty());
}

TEST_F(PayloadsTest, WritingFailsWhenALibraryCannotBeWrittenWholeAndRemoveTakesOnlyOurs) {
  struct Case {
    const char* what;
    bool resourceMissing;  // ILU.dll's
    bool occupied;         // an ILU.dll already in the folder
  };
  const Case cases[] = {
      {"a library missing from the program", true, false},
      {"a file of a library's name already there", false, true},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    host.AddDirectory(L"C:\\Temp");
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      if (!c.resourceMissing || std::wstring(f.fileName) != L"ILU.dll")
        host.AddResource(L"", zor::kRendererLibraryType, f.resourceId, Content(f));
    zor::CRendererFolder folder;
    ASSERT_TRUE(folder.Create());
    if (c.occupied) host.AddFile(folder.PathOf(L"ILU.dll"), "not ours");
    EXPECT_FALSE(folder.WriteLibraries(0)) << c.what;
    // The others are written all the same.
    EXPECT_EQ(host.FileBytes(folder.PathOf(L"DevIL.dll")), std::optional<std::string>("resource 151")) << c.what;
    EXPECT_EQ(host.FileBytes(folder.PathOf(L"d3dx9_35.dll")), std::optional<std::string>("resource 155")) << c.what;
    EXPECT_EQ(host.HasFile(folder.PathOf(L"ILU.dll")), c.occupied) << c.what;
    const std::wstring path = folder.Path();
    folder.Remove();
    std::vector<std::wstring> left;
    for (const std::wstring& p : host.FilePaths()) left.push_back(TestHost::Normalize(p));
    EXPECT_EQ(left, c.occupied ? std::vector<std::wstring>{TestHost::Normalize(path + L"\\ILU.dll")}
                               : std::vector<std::wstring>{})
        << c.what;
    // What is not ours keeps the folder there.
    EXPECT_EQ(host.HasDirectory(path), c.occupied) << c.what;
  }
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
