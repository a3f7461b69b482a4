// The test host's setup services: the install actions' tests rely on these
// answering as Windows does, so the rules that matter are pinned here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/testhost/test_host.h"
#ifndef _WIN32
#include <unistd.h>

#include "platform/posix/posix_host.h"
#endif

namespace {

using zor::TestHost;

TEST(TestHostSetup, CopyReplacesUnlessAskedNotToAndRespectsLocks) {
  TestHost host;
  host.AddDirectory(L"C:\\a");
  host.AddFile(L"C:\\a\\src", "new");
  host.AddFile(L"C:\\a\\dst", "old");
  long err = 0;
  EXPECT_FALSE(host.CopyFileTo(L"C:\\a\\src", L"C:\\a\\dst", true, &err));
  EXPECT_EQ(err, zor::kErrAlreadyExists);
  EXPECT_EQ(*host.FileBytes(L"C:\\a\\dst"), "old");
  EXPECT_TRUE(host.CopyFileTo(L"C:\\a\\src", L"C:\\a\\dst", false, &err));
  EXPECT_EQ(*host.FileBytes(L"C:\\a\\dst"), "new");
  EXPECT_EQ(*host.FileBytes(L"C:\\a\\src"), "new");

  EXPECT_FALSE(host.CopyFileTo(L"C:\\a\\missing", L"C:\\a\\x", false, &err));
  EXPECT_EQ(err, zor::kErrFileNotFound);
  EXPECT_FALSE(host.CopyFileTo(L"C:\\a\\src", L"C:\\nofolder\\x", false, &err));
  EXPECT_EQ(err, zor::kErrPathNotFound);
  host.readOnlyFiles.insert(L"C:\\a\\dst");
  EXPECT_FALSE(host.CopyFileTo(L"C:\\a\\src", L"C:\\a\\dst", false, &err));
  EXPECT_EQ(err, zor::kErrAccessDenied);
  host.lockedFiles.insert(L"C:\\a\\src");
  EXPECT_FALSE(host.CopyFileTo(L"C:\\a\\src", L"C:\\a\\y", false, &err));
  EXPECT_EQ(err, zor::kErrSharingViolation);
  EXPECT_FALSE(host.HasFile(L"C:\\a\\y"));
}

TEST(TestHostSetup, Wow64RedirectsTheSystemFolderUntilDisabled) {
  TestHost host;
  for (const wchar_t* d : {L"C:\\Windows", L"C:\\Windows\\System32", L"C:\\Windows\\SysWOW64"}) host.AddDirectory(d);
  host.AddFile(L"C:\\x", "x");
  host.isWow64 = true;
  EXPECT_TRUE(host.Is64BitWindows());

  ASSERT_TRUE(host.CopyFileTo(L"C:\\x", L"C:\\Windows\\system32\\a.dll", false));
  EXPECT_TRUE(host.HasFile(L"C:\\Windows\\SysWOW64\\a.dll"));
  EXPECT_FALSE(host.HasFile(L"C:\\Windows\\System32\\a.dll"));
  EXPECT_TRUE(host.FileExists(L"C:\\Windows\\System32\\a.dll"));
  // A folder that only starts with the same letters is not redirected.
  host.AddDirectory(L"C:\\Windows\\System32x");
  ASSERT_TRUE(host.CopyFileTo(L"C:\\x", L"C:\\Windows\\System32x\\b.dll", false));
  EXPECT_TRUE(host.HasFile(L"C:\\Windows\\System32x\\b.dll"));

  uintptr_t cookie = 0;
  ASSERT_TRUE(host.DisableFsRedirection(&cookie));
  ASSERT_TRUE(host.CopyFileTo(L"C:\\x", L"C:\\Windows\\System32\\c.dll", false));
  EXPECT_TRUE(host.HasFile(L"C:\\Windows\\System32\\c.dll"));
  EXPECT_TRUE(host.RevertFsRedirection(cookie));
  EXPECT_FALSE(host.redirectionDisabled);

  // Without the entry points, or without WOW64, there is nothing to switch.
  host.hasRedirectionControl = false;
  EXPECT_FALSE(host.DisableFsRedirection(&cookie));
  host.hasRedirectionControl = true;
  host.isWow64 = false;
  EXPECT_FALSE(host.DisableFsRedirection(&cookie));
}

TEST(TestHostSetup, LinksNeedAnExistingFolderAndAreRecorded) {
  TestHost host;
  host.AddDirectory(L"C:\\Links");
  zor::ShellLink link;
  link.target = L"C:\\App\\a.exe";
  link.linkPath = L"C:\\Links\\a.lnk";
  link.workingFolder = L"C:\\App\\";
  EXPECT_TRUE(host.CreateShellLink(link));
  EXPECT_TRUE(host.HasFile(L"C:\\Links\\a.lnk"));
  link.linkPath = L"C:\\Elsewhere\\a.lnk";
  EXPECT_FALSE(host.CreateShellLink(link));
  ASSERT_EQ(host.shellLinks.size(), 1u);
  EXPECT_EQ(host.shellLinks[0].linkPath, L"C:\\Links\\a.lnk");
  EXPECT_EQ(host.shellLinks[0].workingFolder, std::optional<std::wstring>(L"C:\\App\\"));
  EXPECT_FALSE(host.shellLinks[0].arguments);
}

TEST(TestHostSetup, SddlFoldersKeepTheirFirstAccessList) {
  TestHost host;
  long err = 0;
  EXPECT_TRUE(host.CreateDirectoryWithSddl(L"C:\\Data", L"D:(A;;GA;;;BA)", &err));
  EXPECT_FALSE(host.CreateDirectoryWithSddl(L"c:\\data", L"D:(A;;GA;;;AN)", &err));
  EXPECT_EQ(err, zor::kErrAlreadyExists);
  EXPECT_EQ(host.directorySddl[TestHost::Normalize(L"C:\\Data")], L"D:(A;;GA;;;BA)");
  EXPECT_FALSE(host.CreateDirectoryWithSddl(L"C:\\No\\Data", L"D:", &err));
  EXPECT_EQ(err, zor::kErrPathNotFound);
}

TEST(TestHostSetup, NamedEventsExistOnceAndFailuresAreReported) {
  TestHost host;
  EXPECT_EQ(host.CreateNamedEvent(L"Global\\E"), zor::kErrSuccess);
  EXPECT_EQ(host.CreateNamedEvent(L"Global\\E"), zor::kErrAlreadyExists);
  host.failCreateEvent = true;
  EXPECT_NE(host.CreateNamedEvent(L"Global\\F"), zor::kErrSuccess);
  EXPECT_NE(host.CreateNamedEvent(L"Global\\F"), zor::kErrAlreadyExists);
}

TEST(TestHostSetup, ResourcesBelongToTheirModule) {
  TestHost host;
  host.AddResource(L"", L"SFX_DLL", 134, "program");
  host.AddResource(L"C:\\Temp\\InstallEn.dll", L"SFX_DLL", 134, "module");
  std::string bytes;
  EXPECT_TRUE(host.ReadResource(0, L"sfx_dll", 134, &bytes));
  EXPECT_EQ(bytes, "program");
  EXPECT_FALSE(host.ReadResource(0, L"SFX_DLL", 135, &bytes));
  // A module loads only when its file is there.
  EXPECT_EQ(host.LoadModule(L"C:\\Temp\\InstallEn.dll"), 0u);
  host.AddDirectory(L"C:\\Temp");
  host.AddFile(L"C:\\Temp\\InstallEn.dll", "MZ");
  zor::Host::Module m = host.LoadModule(L"C:\\Temp\\InstallEn.dll");
  ASSERT_NE(m, 0u);
  EXPECT_TRUE(host.ReadResource(m, L"SFX_DLL", 134, &bytes));
  EXPECT_EQ(bytes, "module");
  host.UnloadModule(m);
  EXPECT_FALSE(host.ReadResource(m, L"SFX_DLL", 134, &bytes));
  EXPECT_TRUE(host.LoadedModules().empty());
}

TEST(TestHostSetup, AModuleWithItsImportsLoadsOnlyWhenTheLoaderWouldFindThem) {
  struct Case {
    const char* what;
    const wchar_t* importAt;  // where the one import lies; null: nowhere
    bool loads;
  };
  const Case cases[] = {
      {"beside the module", L"C:\\Lib\\dep.dll", true},
      {"in the system folder", L"C:\\Windows\\System32\\dep.dll", true},
      {"already loaded from elsewhere", L"C:\\Other\\dep.dll", true},
      {"in the program's folder only", L"C:\\Setup\\dep.dll", false},
      {"nowhere", nullptr, false},
  };
  for (const Case& c : cases) {
    TestHost host;
    for (const wchar_t* d : {L"C:\\Lib", L"C:\\Windows", L"C:\\Windows\\System32", L"C:\\Other", L"C:\\Setup"})
      host.AddDirectory(d);
    host.AddFile(L"C:\\Lib\\main.dll", "MZ");
    host.moduleImports[L"C:\\Lib\\main.dll"] = {L"dep.dll"};
    if (c.importAt) host.AddFile(c.importAt, "MZ");
    if (c.importAt && std::wstring(c.importAt) == L"C:\\Other\\dep.dll") {
      ASSERT_NE(host.LoadModule(c.importAt), 0u);
    }
    zor::Host::Module m = host.LoadModuleWithItsImports(L"c:/lib/MAIN.dll");
    EXPECT_EQ(m != 0, c.loads) << c.what;
    EXPECT_EQ(host.LoadedWithItsImports(L"C:\\Lib\\main.dll"), c.loads) << c.what;
    // The plain load checks nothing.
    zor::Host::Module plain = host.LoadModule(L"C:\\Lib\\main.dll");
    EXPECT_NE(plain, 0u) << c.what;
    host.UnloadModule(m);
    EXPECT_FALSE(host.LoadedWithItsImports(L"C:\\Lib\\main.dll")) << c.what;
  }
}

TEST(TestHostSetup, AHeldFolderIsRemovedOnlyOnceLetGoAndEmpty) {
  TestHost host;
  host.AddDirectory(L"C:\\Temp");
  zor::Host::FolderHold hold = 0, again = 0;
  ASSERT_EQ(host.CreateHeldFolder(L"C:\\Temp\\f", L"D:P", &hold), zor::kErrSuccess);
  EXPECT_NE(hold, 0u);
  EXPECT_EQ(host.CreateHeldFolder(L"c:\\temp\\F", L"D:P", &again), zor::kErrAlreadyExists);
  EXPECT_EQ(again, 0u);
  EXPECT_EQ(host.CreateHeldFolder(L"C:\\None\\f", L"D:P", &again), zor::kErrPathNotFound);
  EXPECT_TRUE(host.IsHeld(L"C:\\TEMP\\f\\"));
  EXPECT_FALSE(host.RemoveFolder(L"C:\\Temp\\f"));
  host.AddFile(L"C:\\Temp\\f\\x", "x");
  host.ReleaseHeldFolder(hold);
  EXPECT_FALSE(host.IsHeld(L"C:\\Temp\\f"));
  EXPECT_FALSE(host.RemoveFolder(L"C:\\Temp\\f"));
  host.DeleteFile(L"C:\\Temp\\f\\x");
  EXPECT_TRUE(host.RemoveFolder(L"C:\\Temp\\f"));
  EXPECT_FALSE(host.HasDirectory(L"C:\\Temp\\f"));
  EXPECT_TRUE(host.directorySddl.empty());
  EXPECT_FALSE(host.RemoveFolder(L"C:\\Temp\\f"));
  host.failHeldFolders = true;
  EXPECT_EQ(host.CreateHeldFolder(L"C:\\Temp\\g", L"D:P", &again), zor::kErrAccessDenied);
  EXPECT_FALSE(host.HasDirectory(L"C:\\Temp\\g"));
}

TEST(TestHostSetup, RegistryFailuresPerKeyAndValueAndWriteLog) {
  TestHost host;
  zor::Host::RegKey key = 0;
  ASSERT_EQ(host.RegCreateKey(zor::kHkeyLocalMachine, L"SOFTWARE\\A", &key), zor::kErrSuccess);
  host.failRegOpenKeys.insert(L"software\\a");
  zor::Host::RegKey other = 0;
  EXPECT_NE(host.RegOpenKey(zor::kHkeyLocalMachine, L"SOFTWARE\\A", &other), zor::kErrSuccess);
  host.failRegCreateKeys.insert(L"SOFTWARE\\B");
  EXPECT_NE(host.RegCreateKey(zor::kHkeyLocalMachine, L"SOFTWARE\\B", &other), zor::kErrSuccess);
  host.failRegSetNames.insert(L"Bad");
  uint8_t v[2] = {1, 2};
  EXPECT_NE(host.RegSetValue(key, L"bad", zor::kRegBinary, v, 2), zor::kErrSuccess);
  EXPECT_EQ(host.RegSetValue(key, L"Good", zor::kRegBinary, v, 2), zor::kErrSuccess);
  ASSERT_EQ(host.regWrites.size(), 1u);
  EXPECT_EQ(host.regWrites[0].name, L"Good");
  EXPECT_EQ(host.OpenRegKeyCount(), 1u);
  host.RegCloseKey(key);
  EXPECT_EQ(host.OpenRegKeyCount(), 0u);
}

TEST(TestHostSetup, ExitProcessThrowsTheCode) {
  TestHost host;
  try {
    host.ExitProcess(3);
    FAIL() << "ExitProcess returned";
  } catch (const TestHost::ProcessExit& e) {
    EXPECT_EQ(e.code, 3u);
  }
}

// The defaults every host inherits.
TEST(HostDefaults, AnsiConversionRespectsTheByteLimit) {
  TestHost host;
  std::string out = "previous";
  // The limit counts the terminating zero.
  EXPECT_TRUE(host.WideToAnsi(std::wstring(259, L'a'), 260, &out));
  EXPECT_EQ(out.size(), 259u);
  out = "previous";
  EXPECT_FALSE(host.WideToAnsi(std::wstring(260, L'a'), 260, &out));
  EXPECT_EQ(out, "previous");
  EXPECT_TRUE(host.WideToAnsi(L"caf\u00e9 \u4e2d", 260, &out));
  EXPECT_EQ(out, "caf\xe9 ?");
  // Windows-1252 above 0x7F; U+0080 is no character of it.
  EXPECT_TRUE(host.WideToAnsi(L"\u20AC\u008D\u0178\u0080", 260, &out));
  EXPECT_EQ(out, "\x80\x8D\x9F?");
}

#ifndef _WIN32
TEST(HostDefaults, PosixCopiesRealFilesAndOffersNoWindowsServices) {
  char dirTemplate[] = "/tmp/zor_copy_XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  { std::ofstream(dir + "/src") << "payload"; }
  zor::PosixHost host;
  std::wstring wdir(dir.begin(), dir.end());
  EXPECT_TRUE(host.CopyFileTo(wdir + L"/src", wdir + L"/dst", false));
  std::ifstream in(dir + "/dst");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "payload");
  long err = 0;
  EXPECT_FALSE(host.CopyFileTo(wdir + L"/src", wdir + L"/dst", true, &err));
  EXPECT_EQ(err, zor::kErrAlreadyExists);
  // Copying a file onto itself keeps its contents.
  EXPECT_TRUE(host.CopyFileTo(wdir + L"/src", wdir + L"/./src", false));
  std::ifstream again(dir + "/src");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "payload");
  EXPECT_TRUE(host.SystemFolder().empty());
  EXPECT_FALSE(host.CreateShellLink(zor::ShellLink{L"a", L"b", {}, {}, {}}));
  EXPECT_NE(host.CreateNamedEvent(L"Global\\E"), zor::kErrSuccess);
  ::unlink((dir + "/src").c_str());
  ::unlink((dir + "/dst").c_str());
  ::rmdir(dir.c_str());
}
#endif

}  // namespace
