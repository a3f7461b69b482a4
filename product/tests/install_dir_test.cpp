// Which install folders the uninstaller accepts, and how it reads them.
#include <gtest/gtest.h>

#include "common/product_names.h"
#include "common/registry.h"
#include "uninstall/install_dir.h"
#include "uninstall/self_removal.h"

namespace luma {
namespace {

TEST(NormalizeFolder, AcceptsCompletePathsAndRejectsTheRest) {
  struct Case {
    const wchar_t* raw;
    const wchar_t* expected;  // nullptr: rejected
  };
  const Case cases[] = {
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse\\", L"C:\\Program Files\\Tarvex\\Lumaglimpse\\"},
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse", L"C:\\Program Files\\Tarvex\\Lumaglimpse\\"},
      {L"d:/Apps//Lumaglimpse", L"d:\\Apps\\Lumaglimpse\\"},
      {L"\\\\server\\share\\Lumaglimpse", L"\\\\server\\share\\Lumaglimpse\\"},
      {L"C:\\", L"C:\\"},
      {L"", nullptr},
      {L"Lumaglimpse\\", nullptr},
      {L"\\Program Files\\Lumaglimpse", nullptr},
      {L"C:Lumaglimpse", nullptr},
      {L"C:\\Program Files\\..\\Windows\\", nullptr},
      {L"C:\\Apps\\.\\Lumaglimpse", nullptr},
      {L"C:\\Apps\\Luma*", nullptr},
      {L"C:\\Apps\\Luma:stream", nullptr},
      {L"C:\\Apps\\Lumaglimpse.\\", nullptr},
      {L"C:\\Apps\\Lumaglimpse \\", nullptr},
      {L"\\\\server", nullptr},
      {L"\\\\\\share\\x", nullptr},
      {L"\\\\?\\C:\\Apps\\", nullptr},
      {L"\\\\.\\PhysicalDrive0\\", nullptr},
  };
  for (const Case& c : cases) {
    std::optional<std::wstring> got = NormalizeFolder(c.raw);
    if (c.expected == nullptr) {
      EXPECT_FALSE(got.has_value()) << "accepted \"" << c.raw << "\"";
    } else {
      ASSERT_TRUE(got.has_value()) << "rejected \"" << c.raw << "\"";
      EXPECT_EQ(*got, c.expected);
    }
  }
}

TEST(WhyNotInstallDir, RefusesRootsSystemFoldersAndTheirParents) {
  const std::vector<std::wstring> guarded = {L"C:\\Windows\\", L"C:\\Program Files\\", L"C:\\Users\\me\\"};
  struct Case {
    const wchar_t* dir;
    bool accepted;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse\\", true},
      {L"C:\\PROGRAM FILES\\Tarvex\\", true},
      {L"D:\\Apps\\Lumaglimpse\\", true},
      {L"C:\\Windows\\Lumaglimpse\\", true},
      {L"\\\\server\\share\\Lumaglimpse\\", true},
      {L"C:\\", false},
      {L"\\\\server\\share\\", false},
      {L"C:\\Windows\\", false},
      {L"c:\\windows\\", false},
      {L"C:\\Program Files\\", false},
      {L"C:\\Users\\", false},
      {L"C:\\Users\\me\\", false},
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse", false},  // not normalised
  };
  for (const Case& c : cases) {
    std::wstring why = WhyNotInstallDir(c.dir, guarded);
    EXPECT_EQ(why.empty(), c.accepted) << "\"" << c.dir << "\": " << why;
  }
}

TEST(WhyNotInstallDir, TheSystemsOwnFoldersAreProtected) {
  const std::vector<std::wstring> guarded = ProtectedFolders();
  ASSERT_FALSE(guarded.empty());
  for (const std::wstring& folder : guarded) {
    EXPECT_FALSE(WhyNotInstallDir(folder, guarded).empty()) << folder;
  }
  wchar_t windows[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  EXPECT_FALSE(WhyNotInstallDir(*NormalizeFolder(windows), guarded).empty());
  EXPECT_TRUE(WhyNotInstallDir(*NormalizeFolder(std::wstring(windows).substr(0, 3) + L"Apps\\Lumaglimpse"), guarded)
                  .empty());
}

TEST(IsInside, ComparesWithoutCaseAndNeedsSomethingBelow) {
  const std::wstring dir = L"C:\\Program Files\\Tarvex\\Lumaglimpse\\";
  EXPECT_TRUE(IsInside(L"c:\\program files\\tarvex\\lumaglimpse\\Lumaglimpse.exe", dir));
  EXPECT_TRUE(IsInside(L"C:\\Program Files\\Tarvex\\Lumaglimpse\\gui\\main.ini", dir));
  EXPECT_FALSE(IsInside(L"C:\\Program Files\\Tarvex\\Lumaglimpse2\\Lumaglimpse.exe", dir));
  EXPECT_FALSE(IsInside(L"C:\\Program Files\\Tarvex\\Lumaglimpse\\", dir));
  EXPECT_FALSE(IsInside(L"C:\\Windows\\notepad.exe", dir));
}

TEST(VendorFolderOf, OnlyAParentNamedTarvex) {
  EXPECT_EQ(VendorFolderOf(L"C:\\Program Files\\Tarvex\\Lumaglimpse\\"), L"C:\\Program Files\\Tarvex");
  EXPECT_EQ(VendorFolderOf(L"D:\\TARVEX\\Lumaglimpse\\"), L"D:\\TARVEX");
  EXPECT_EQ(VendorFolderOf(L"D:\\Apps\\Lumaglimpse\\"), L"");
  EXPECT_EQ(VendorFolderOf(L"D:\\Lumaglimpse\\"), L"");
  EXPECT_EQ(VendorFolderOf(L"\\\\server\\Tarvex\\Lumaglimpse\\"), L"");
}

// Without a product key only a folder that holds the program counts.
TEST(FindInstallDir, FallsBackToTheUninstallersFolderOnlyBesideTheProgram) {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    if (ReadRegString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir", view)) {
      GTEST_SKIP() << "this machine has the product installed";
    }
  }
  wchar_t temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"luma-find-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring program = folder + L"Lumaglimpse.exe";

  EXPECT_EQ(FindInstallDir(folder + L"Uninstall.exe").dir, L"");
  HANDLE file = CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  InstallDirChoice choice = FindInstallDir(folder + L"uninstall.EXE");
  EXPECT_TRUE(SamePath(choice.dir, *NormalizeFolder(folder))) << choice.dir;
  EXPECT_EQ(FindInstallDir(folder + L"Lumaglimpse-Uninstall-12.exe").dir, L"");  // the temp helper's name

  DeleteFileW(program.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace luma
