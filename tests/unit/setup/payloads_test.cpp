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

// ---- The language modules' folder

const wchar_t kLanguages[] = L"C:\\Temp\\LumaglimpseLanguages.1";

TEST_F(PayloadsTest, ModulesGoToAHeldFolderOfTheirOwnAndNeverToTheSharedTempFolder) {
  // What a program of the same user may have put into the temp folder: a
  // module of the same name, one of them held open against writing.
  host_.AddFile(L"C:\\Temp\\InstallEn.dll", "planted");
  host_.AddFile(L"C:\\Temp\\InstallFr.dll", "planted, held");
  host_.lockedFiles.insert(L"C:\\Temp\\InstallFr.dll");
  const auto before = host_.FilePaths();
  {
    zor::CPayloadFolder folder(zor::kLanguageFolderPrefix);
    EXPECT_EQ(zor::ExtractLanguageModules(folder, 0), 1);
    EXPECT_EQ(folder.Path(), kLanguages);
    EXPECT_TRUE(host_.IsHeld(kLanguages));
    EXPECT_EQ(host_.directorySddl[TestHost::Normalize(kLanguages)], zor::kPayloadFolderSddl);
    for (const zor::PayloadFile& f : zor::kLanguageModules)
      EXPECT_EQ(host_.FileBytes(folder.PathOf(f.fileName)), Content(f)) << f.resourceId;
    EXPECT_EQ(host_.FilePaths().size(), before.size() + zor::kLanguageModules.size());

    // The renderer's folder is another one, beside it.
    zor::CPayloadFolder renderer(zor::kRendererFolderPrefix);
    ASSERT_TRUE(renderer.Create());
    EXPECT_EQ(renderer.Path(), L"C:\\Temp\\LumaglimpseRenderer.1");

    zor::Host::Module m = zor::LoadLanguageModule(folder, 1);
    ASSERT_NE(m, 0u);
    EXPECT_EQ(host_.LoadedModules(), std::vector<std::wstring>{TestHost::Normalize(folder.PathOf(L"InstallEn.dll"))});
    host_.UnloadModule(m);
    folder.Remove();
    renderer.Remove();
  }
  host_.lockedFiles.clear();
  EXPECT_EQ(host_.FilePaths(), before);
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallEn.dll"), std::optional<std::string>("planted"));
  EXPECT_EQ(host_.FileBytes(L"C:\\Temp\\InstallFr.dll"), std::optional<std::string>("planted, held"));
  EXPECT_FALSE(host_.HasDirectory(kLanguages));
}

// ---- The renderer's folder

const wchar_t kFirst[] = L"C:\\Temp\\LumaglimpseRenderer.1";

TEST_F(PayloadsTest, LibrariesGoToANewHeldFolderOfTheirOwnAndLeaveWithIt) {
  // A 32-bit setup on 64-bit Windows as well: the temp folder is not
  // redirected.
  host_.isWow64 = true;
  const auto before = host_.FilePaths();
  {
    zor::CPayloadFolder folder(zor::kRendererFolderPrefix);
    ASSERT_TRUE(folder.Create());
    EXPECT_EQ(folder.Path(), kFirst);
    EXPECT_TRUE(host_.IsHeld(kFirst));
    EXPECT_EQ(host_.directorySddl[TestHost::Normalize(kFirst)], zor::kPayloadFolderSddl);
    // Held, it cannot be removed even while empty.
    EXPECT_FALSE(host_.RemoveFolder(kFirst));
    ASSERT_TRUE(folder.WriteAll(0, zor::kRendererLibraryType, zor::kRendererLibraries));
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
      zor::CPayloadFolder folder(zor::kRendererFolderPrefix);
      ASSERT_TRUE(folder.Create()) << c.what;
      EXPECT_EQ(folder.Path(), L"C:\\Temp\\LumaglimpseRenderer.2") << c.what;
      EXPECT_TRUE(folder.WriteAll(0, zor::kRendererLibraryType, zor::kRendererLibraries)) << c.what;
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
      {"the last name is free", zor::kPayloadFolderNames - 1, true, false, true},
      {"every name taken", zor::kPayloadFolderNames, true, false, false},
      {"no temp folder on disk", 0, false, false, false},
      {"the folder cannot be made", 0, true, true, false},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    if (c.tempFolder) host.AddDirectory(L"C:\\Temp");
    for (int n = 1; n <= c.taken; ++n) host.AddDirectory(L"C:\\Temp\\LumaglimpseRenderer." + std::to_wstring(n));
    host.failHeldFolders = c.holdFails;
    zor::CPayloadFolder folder(zor::kRendererFolderPrefix);
    EXPECT_EQ(folder.Create(), c.made) << c.what;
    EXPECT_EQ(folder.Path().empty(), !c.made) << c.what;
    if (!c.made) {
      EXPECT_FALSE(folder.WriteAll(0, zor::kRendererLibraryType, zor::kRendererLibraries)) << c.what;
    }
  }
  // A temp folder nobody knows: nothing goes to the current folder either.
  TestHost host;
  zor::ScopedHost scope(&host);
  host.tempFolder.clear();
  zor::CPayloadFolder folder(zor::kRendererFolderPrefix);
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
    zor::CPayloadFolder folder(zor::kRendererFolderPrefix);
    ASSERT_TRUE(folder.Create());
    if (c.occupied) host.AddFile(folder.PathOf(L"ILU.dll"), "not ours");
    EXPECT_FALSE(folder.WriteAll(0, zor::kRendererLibraryType, zor::kRendererLibraries)) << c.what;
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

TEST_F(PayloadsTest, EachWriteReportsItsFailureAndLeavesNoPartOfAFile) {
  struct Case {
    const char* what;
    zor::PayloadFile file;
    std::wstring type;
    bool written;
  };
  const Case cases[] = {
      {"present resource", {134, L"a.dll", 1}, zor::kLanguageModuleType, true},
      {"missing id", {999, L"b.dll", 1}, zor::kLanguageModuleType, false},
      {"id of another type", {134, L"c.dll", 1}, zor::kRendererLibraryType, false},
      {"no type", {134, L"d.dll", 1}, L"", false},
      {"no file name", {134, L"", 1}, zor::kLanguageModuleType, false},
      {"a name that is no file of the folder", {134, L"no\\such\\e.dll", 1}, zor::kLanguageModuleType, false},
      {"the disk fills up part-way", {134, L"f.dll", 1}, zor::kLanguageModuleType, false},
  };
  zor::CPayloadFolder folder(zor::kLanguageFolderPrefix);
  ASSERT_FALSE(folder.Write(0, zor::kLanguageModuleType, cases[0].file)) << "before Create";
  ASSERT_TRUE(folder.Create());
  host_.writeFaults[folder.PathOf(L"f.dll")] = 3;
  for (const Case& c : cases) {
    EXPECT_EQ(folder.Write(0, c.type, c.file), c.written) << c.what;
    EXPECT_EQ(folder.Wrote(c.file.fileName), c.written) << c.what;
    if (*c.file.fileName) {
      EXPECT_EQ(host_.HasFile(folder.PathOf(c.file.fileName)), c.written) << c.what;
      EXPECT_FALSE(host_.HasFile(std::wstring(L"C:\\Temp\\") + c.file.fileName)) << c.what;
    }
  }
}

TEST_F(PayloadsTest, OnlyAModuleTheFolderWroteIsLoaded) {
  zor::CPayloadFolder folder(zor::kLanguageFolderPrefix);
  // Before the folder exists nothing is found, not even a module of that
  // name in the temp folder.
  host_.AddFile(L"C:\\Temp\\InstallPT-BR.dll", "planted");
  EXPECT_EQ(zor::LanguageModulePath(folder, 19), L"");
  EXPECT_EQ(zor::LoadLanguageModule(folder, 19), 0u);

  // Portuguese cannot be written whole, and a file of German's name was
  // there first (the folder is ours alone, but what is not ours is never
  // loaded).
  ASSERT_TRUE(folder.Create());
  host_.writeFaults[folder.PathOf(L"InstallPtg.dll")] = 1;
  host_.AddFile(folder.PathOf(L"InstallGe.dll"), "not ours");
  zor::ExtractLanguageModules(folder, 0);
  EXPECT_EQ(zor::LanguageModulePath(folder, 19), std::wstring(kLanguages) + L"\\InstallPT-BR.dll");
  zor::Host::Module m = zor::LoadLanguageModule(folder, 19);
  ASSERT_NE(m, 0u);
  EXPECT_EQ(host_.LoadedModules(), std::vector<std::wstring>{TestHost::Normalize(folder.PathOf(L"InstallPT-BR.dll"))});
  for (int row : {22, -1, 8, 3}) {
    EXPECT_EQ(zor::LanguageModulePath(folder, row), L"") << row;
    EXPECT_EQ(zor::LoadLanguageModule(folder, row), 0u) << row;
  }
  EXPECT_FALSE(host_.HasFile(folder.PathOf(L"InstallPtg.dll")));
  EXPECT_EQ(host_.FileBytes(folder.PathOf(L"InstallGe.dll")), std::optional<std::string>("not ours"));

  // Freed, the module's file goes; what is not ours stays, and keeps the
  // folder there.
  host_.UnloadModule(m);
  folder.Remove();
  EXPECT_FALSE(host_.HasFile(std::wstring(kLanguages) + L"\\InstallPT-BR.dll"));
  EXPECT_TRUE(host_.HasFile(std::wstring(kLanguages) + L"\\InstallGe.dll"));
  EXPECT_TRUE(host_.HasDirectory(kLanguages));
}

}  // namespace
