// Shortcuts, runtime files, the settings file and the COM registration.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "install_fixture.h"

namespace zor_test {
namespace {

using zor::CInstallActions;
using zor::ShellLink;
using zor::TestHost;

const std::wstring kExe = std::wstring(kDir) + L"Lumaglimpse.exe";
const std::wstring kLinkFolder = std::wstring(kPrograms) + L"\\Tarvex Lumaglimpse";
const std::wstring kQuickLaunch =
    std::wstring(kAppData) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\Tarvex Lumaglimpse.lnk";

class ShortcutTest : public InstallFixture {
 protected:
  std::vector<std::wstring> LinkPaths() const {
    std::vector<std::wstring> out;
    for (const ShellLink& l : host_.shellLinks) out.push_back(l.linkPath);
    return out;
  }
};

TEST_F(ShortcutTest, FiveLinksWithTheirTargetsAndWorkingFolders) {
  EXPECT_EQ(actions_.CreateShortcuts(false), 1);
  EXPECT_TRUE(host_.HasDirectory(kLinkFolder));
  struct Expected {
    std::wstring path, target;
    std::optional<std::wstring> workingFolder;
  };
  const std::vector<Expected> expected = {
      {kLinkFolder + L"\\Tarvex Lumaglimpse.lnk", kExe, kDir},
      {std::wstring(kDesktop) + L"\\Tarvex Lumaglimpse.lnk", kExe, kDir},
      {kQuickLaunch, kExe, std::nullopt},
      {kLinkFolder + L"\\Tarvex Lumaglimpse Help.lnk", std::wstring(kDir) + L"Lumaglimpse.CHM", std::nullopt},
      {kLinkFolder + L"\\Tarvex Lumaglimpse Uninstall.lnk", std::wstring(kDir) + L"Uninstall.exe", std::nullopt},
  };
  ASSERT_EQ(host_.shellLinks.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const ShellLink& got = host_.shellLinks[i];
    EXPECT_EQ(got.linkPath, expected[i].path) << i;
    EXPECT_EQ(got.target, expected[i].target) << i;
    EXPECT_EQ(got.workingFolder, expected[i].workingFolder) << i;
    EXPECT_FALSE(got.arguments) << i;
    EXPECT_FALSE(got.description) << i;
    EXPECT_TRUE(host_.HasFile(expected[i].path)) << i;
  }
}

TEST_F(ShortcutTest, StringsAndFoldersDecideWhichLinksExist) {
  struct Case {
    const char* what;
    bool skipDesktop;
    void (*arrange)(TestHost&, TableStrings&);
    std::vector<std::wstring> links;
  };
  const std::wstring program = kLinkFolder + L"\\Tarvex Lumaglimpse.lnk";
  const std::wstring desktop = std::wstring(kDesktop) + L"\\Tarvex Lumaglimpse.lnk";
  const std::wstring help = kLinkFolder + L"\\Tarvex Lumaglimpse Help.lnk";
  const std::wstring uninstall = kLinkFolder + L"\\Tarvex Lumaglimpse Uninstall.lnk";
  const Case cases[] = {
      {"desktop skipped", true, [](TestHost&, TableStrings&) {}, {program, kQuickLaunch, help, uninstall}},
      {"translated file names",
       false,
       [](TestHost&, TableStrings& s) { s.texts[zor::kIdsHelpLink] = L"\\Tarvex Lumaglimpse\\Hilfe.lnk"; },
       {program, desktop, kQuickLaunch, kLinkFolder + L"\\Hilfe.lnk", uninstall}},
      {"a module naming another folder loses the links in it",
       false,
       [](TestHost&, TableStrings& s) {
         s.texts[zor::kIdsProgramLink] = L"\\Lumaglimpse\\Lumaglimpse.lnk";
         s.texts[zor::kIdsHelpLink] = L"\\Lumaglimpse\\Help.lnk";
         s.texts[zor::kIdsUninstallLink] = L"\\Lumaglimpse\\Uninstall.lnk";
       },
       {desktop, kQuickLaunch}},
      {"a string missing from the module",
       false,
       [](TestHost&, TableStrings& s) { s.texts.erase(zor::kIdsQuickLaunchLink); },
       {program, desktop, help, uninstall}},
      {"no common desktop folder: no link at the drive root",
       false,
       [](TestHost& h, TableStrings&) { h.specialFolders.erase(zor::kCsidlCommonDesktop); },
       {program, kQuickLaunch, help, uninstall}},
      {"no common programs folder",
       false,
       [](TestHost& h, TableStrings&) { h.specialFolders.erase(zor::kCsidlCommonPrograms); },
       {desktop, kQuickLaunch}},
      {"no quick-launch folder in this profile",
       false,
       [](TestHost& h, TableStrings&) {
         h.specialFolders[zor::kCsidlAppData] = L"C:\\Users\\admin";
       },
       {program, desktop, help, uninstall}},
  };
  for (const Case& c : cases) {
    host_.shellLinks.clear();
    TableStrings strings;
    // Each case starts from the fixture's machine.
    host_.specialFolders[zor::kCsidlCommonPrograms] = kPrograms;
    host_.specialFolders[zor::kCsidlCommonDesktop] = kDesktop;
    host_.specialFolders[zor::kCsidlAppData] = kAppData;
    c.arrange(host_, strings);
    actions_.SetStringSource(&strings);
    EXPECT_EQ(actions_.CreateShortcuts(c.skipDesktop), 1) << c.what;
    EXPECT_EQ(LinkPaths(), c.links) << c.what;
  }
  EXPECT_FALSE(host_.HasFile(L"\\Tarvex Lumaglimpse.lnk"));
  EXPECT_FALSE(host_.HasDirectory(L"\\Tarvex Lumaglimpse"));
}

TEST_F(ShortcutTest, WithoutAStringSourceOnlyTheFolderIsMade) {
  CInstallActions actions;
  actions.m_strInstallDir = kDir;
  EXPECT_EQ(actions.CreateShortcuts(false), 1);
  EXPECT_TRUE(host_.HasDirectory(kLinkFolder));
  EXPECT_TRUE(host_.shellLinks.empty());
}

TEST_F(ShortcutTest, CreateLinkNeedsATargetAndAPathAndSetsOnlyWhatIsGiven) {
  const std::wstring path = std::wstring(kDesktop) + L"\\x.lnk";
  EXPECT_EQ(actions_.CreateLink(true, nullptr, path.c_str(), nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(actions_.CreateLink(true, kExe.c_str(), nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(host_.shellLinks.empty());
  EXPECT_EQ(actions_.CreateLink(true, kExe.c_str(), path.c_str(), L"-x", L"about", L""), 1);
  ASSERT_EQ(host_.shellLinks.size(), 1u);
  EXPECT_EQ(host_.shellLinks[0].arguments, std::optional<std::wstring>(L"-x"));
  EXPECT_EQ(host_.shellLinks[0].description, std::optional<std::wstring>(L"about"));
  // Given but empty is still given.
  EXPECT_EQ(host_.shellLinks[0].workingFolder, std::optional<std::wstring>(L""));
  // A link that cannot be saved is not reported.
  host_.failShellLinks = true;
  EXPECT_EQ(actions_.CreateLink(true, kExe.c_str(), path.c_str(), nullptr, nullptr, nullptr), 1);
}

// ---- Deployment

class DeployTest : public InstallFixture {
 protected:
  const std::wstring kSettings = std::wstring(kDir) + L"gui\\main.ini";
  const std::wstring kMachineSettings = L"C:\\ProgramData\\Lumaglimpse\\main.ini";
};

TEST_F(DeployTest, RuntimeFilesThePackageCarriesReachTheWindowsFolder) {
  Unpack(L"StreamAid.dll", "aid");
  Unpack(L"msvcr80.dll", "crt");
  Unpack(L"Microsoft.VC80.CRT.manifest", "manifest");
  host_.AddFile(L"C:\\Windows\\msvcr80.dll", "older crt");
  EXPECT_EQ(actions_.DeployFiles(), 1);
  EXPECT_EQ(host_.FileBytes(L"C:\\Windows\\StreamAid.dll"), std::optional<std::string>("aid"));
  EXPECT_EQ(host_.FileBytes(L"C:\\Windows\\msvcr80.dll"), std::optional<std::string>("crt"));
  EXPECT_EQ(host_.FileBytes(L"C:\\Windows\\Microsoft.VC80.CRT.manifest"), std::optional<std::string>("manifest"));
  for (const wchar_t* absent : {L"LumaglimpseSrcSaver.scr", L"Sayvel.dll", L"Atl71.dll", L"MFC71.dll"})
    EXPECT_FALSE(host_.HasFile(std::wstring(L"C:\\Windows\\") + absent)) << zor::ToUtf8(absent);
  // Every name of the list is tried.
  for (const wchar_t* name : zor::kRuntimeFiles) {
    Unpack(name, "x");
  }
  actions_.DeployFiles();
  for (const wchar_t* name : zor::kRuntimeFiles)
    EXPECT_TRUE(host_.HasFile(std::wstring(L"C:\\Windows\\") + name)) << zor::ToUtf8(name);
}

TEST_F(DeployTest, TheSettingsFileMovesToAnOpenMachineWideFolder) {
  Unpack(L"gui\\main.ini", "[lang]\r\nde\r\n");
  EXPECT_EQ(actions_.DeployFiles(), 1);
  EXPECT_EQ(host_.FileBytes(kMachineSettings), std::optional<std::string>("[lang]\r\nde\r\n"));
  EXPECT_FALSE(host_.HasFile(kSettings));
  EXPECT_EQ(host_.directorySddl[TestHost::Normalize(L"C:\\ProgramData\\Lumaglimpse")],
            L"D:(A;OICI;GA;;;BG)(A;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)");
}

TEST_F(DeployTest, AnExistingFolderKeepsItsAccessListAndTheFileIsReplaced) {
  ASSERT_TRUE(host_.CreateDirectoryWithSddl(L"C:\\ProgramData\\Lumaglimpse", L"D:(A;;GA;;;BA)"));
  host_.AddFile(kMachineSettings, "english");
  Unpack(L"gui\\main.ini", "deutsch");
  actions_.DeployFiles();
  EXPECT_EQ(host_.FileBytes(kMachineSettings), std::optional<std::string>("deutsch"));
  EXPECT_EQ(host_.directorySddl[TestHost::Normalize(L"C:\\ProgramData\\Lumaglimpse")], L"D:(A;;GA;;;BA)");
}

TEST_F(DeployTest, ASettingsFileThatCannotBeCopiedStaysInTheInstallFolder) {
  host_.AddDirectory(L"C:\\ProgramData\\Lumaglimpse");
  host_.AddFile(kMachineSettings, "english");
  host_.readOnlyFiles.insert(kMachineSettings);
  Unpack(L"gui\\main.ini", "deutsch");
  actions_.DeployFiles();
  EXPECT_EQ(host_.FileBytes(kMachineSettings), std::optional<std::string>("english"));
  EXPECT_EQ(host_.FileBytes(kSettings), std::optional<std::string>("deutsch"));
}

TEST(StaleSettings, PathFollowsTheProfileLayout) {
  const struct {
    std::wstring appData, stale;
    const char* what;
  } cases[] = {
      {L"C:\\Users\\u\\AppData\\Roaming",
       L"C:\\Users\\u\\AppData\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini", "Vista and later"},
      {L"C:\\Documents and Settings\\u\\Application Data",
       L"C:\\Documents and Settings\\u\\Application Data\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini",
       "XP has no Roaming folder: the whole folder is used"},
      {L"C:\\Users\\Roaming\\AppData\\Roaming",
       L"C:\\Users\\Roaming\\AppData\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini",
       "a user named Roaming"},
      {L"C:\\Users\\Roamingfan\\AppData\\Roaming",
       L"C:\\Users\\Roamingfan\\AppData\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini",
       "a user whose name starts with Roaming"},
      {L"D:\\Profiles\\u\\Roamingdata", L"D:\\Profiles\\u\\Roamingdata\\Local\\VirtualStore\\ProgramData\\Lumaglimpse"
                                        L"\\main.ini",
       "only a whole folder name counts"},
      {L"C:\\Users\\u\\AppData\\roaming",
       L"C:\\Users\\u\\AppData\\roaming\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini",
       "the folder name is matched as the system spells it"},
      {L"", L"", "unknown folder"},
  };
  for (const auto& c : cases) EXPECT_EQ(CInstallActions::StaleSettingsPath(c.appData), c.stale) << c.what;
}

TEST_F(DeployTest, TheStaleCopyIsRemoved) {
  const std::wstring stale = L"C:\\Users\\admin\\AppData\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini";
  host_.AddFile(stale, "old");
  actions_.DeployFiles();
  EXPECT_FALSE(host_.HasFile(stale));
  EXPECT_NE(std::find(host_.debugLines.begin(), host_.debugLines.end(), stale), host_.debugLines.end());
}

TEST_F(DeployTest, RegSvr32RegistersTheComponentHidden) {
  actions_.DeployFiles();
  ASSERT_EQ(host_.startedPrograms.size(), 1u);
  const TestHost::StartedProgram& p = host_.startedPrograms[0];
  EXPECT_EQ(p.verb, L"open");
  EXPECT_EQ(p.file, L"RegSvr32.exe");
  EXPECT_EQ(p.parameters, L"/s \"C:\\Windows\\System32\\Vizorel.dll\"");
  EXPECT_EQ(p.folder, L"");
  EXPECT_EQ(p.show, zor::kSwHide);
  auto logged = [&](const std::wstring& line) {
    return std::find(host_.debugLines.begin(), host_.debugLines.end(), line) != host_.debugLines.end();
  };
  EXPECT_TRUE(logged(L"C:\\Windows\\System32\\Vizorel.dll"));
  EXPECT_TRUE(logged(L"/s \"C:\\Windows\\System32\\Vizorel.dll\""));
  // A registration that cannot start is not an error of the installation.
  host_.failStartProgram = true;
  EXPECT_EQ(actions_.DeployFiles(), 1);
}

TEST_F(DeployTest, UnknownFoldersWriteNothingAtADriveRoot) {
  Unpack(L"gui\\main.ini", "settings");
  Unpack(L"msvcr80.dll", "crt");
  host_.windowsFolder.clear();
  host_.systemFolder.clear();
  host_.specialFolders.clear();
  host_.AddFile(L"\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini", "not ours");
  EXPECT_EQ(actions_.DeployFiles(), 1);
  EXPECT_TRUE(host_.HasFile(L"\\Local\\VirtualStore\\ProgramData\\Lumaglimpse\\main.ini"));
  EXPECT_FALSE(host_.HasFile(L"\\msvcr80.dll"));
  EXPECT_FALSE(host_.HasDirectory(L"\\Lumaglimpse"));
  EXPECT_EQ(host_.FileBytes(kSettings), std::optional<std::string>("settings"));
  EXPECT_TRUE(host_.startedPrograms.empty());
}

}  // namespace
}  // namespace zor_test
