// Removing files, folders and shortcuts on the real file system (run under
// Wine), each test in a folder of its own under the temp folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "uninstall/file_removal.h"
#include "uninstall/shell_links.h"

namespace luma {
namespace {

class Scratch : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root_ = std::wstring(temp) + L"luma-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter_++);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  }
  void TearDown() override {
    std::wstring list = root_ + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::wstring Path(const std::wstring& name) const { return root_ + L"\\" + name; }
  void Write(const std::wstring& name, const std::string& bytes) const {
    HANDLE file = CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << Path(name);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
  }

  std::wstring root_;
  static int counter_;
};

int Scratch::counter_ = 0;

using RemoveFileTest = Scratch;

TEST_F(RemoveFileTest, RemovesPlainAndReadOnlyFilesAndIgnoresMissingOnes) {
  Write(L"plain.dll", "x");
  Write(L"readonly.dll", "y");
  ASSERT_TRUE(SetFileAttributesW(Path(L"readonly.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  RemovalReport report;
  RemoveFile(Path(L"plain.dll"), report);
  RemoveFile(Path(L"readonly.dll"), report);
  RemoveFile(Path(L"missing.dll"), report);
  RemoveFile(Path(L"no-folder\\missing.dll"), report);
  EXPECT_FALSE(FileExists(Path(L"plain.dll")));
  EXPECT_FALSE(FileExists(Path(L"readonly.dll")));
  EXPECT_EQ(report.Text(), L"");
  EXPECT_EQ(report.ExitCode(), kExitDone);
}

TEST_F(RemoveFileTest, AFolderWithAFilesNameIsAFailureAndStays) {
  ASSERT_TRUE(CreateDirectoryW(Path(L"main.ini").c_str(), nullptr));
  RemovalReport report;
  RemoveFile(Path(L"main.ini"), report);
  EXPECT_TRUE(FolderExists(Path(L"main.ini")));
  EXPECT_TRUE(report.HasFailures());
  EXPECT_EQ(report.ExitCode(), kExitFailed);
  EXPECT_NE(report.Text().find(Path(L"main.ini")), std::wstring::npos);
}

using RemoveFolderTest = Scratch;

TEST_F(RemoveFolderTest, EmptyFolderGoesAndAFolderWithOtherFilesIsKeptWithTheirNames) {
  ASSERT_TRUE(CreateDirectoryW(Path(L"empty").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Path(L"used").c_str(), nullptr));
  Write(L"used\\capture-001.avi", "v");
  Write(L"used\\capture-002.avi", "v");
  RemovalReport report;
  RemoveFolderIfEmpty(Path(L"empty\\"), report, true);
  RemoveFolderIfEmpty(Path(L"used"), report, true);
  RemoveFolderIfEmpty(Path(L"never-made"), report, true);
  EXPECT_FALSE(FolderExists(Path(L"empty")));
  EXPECT_TRUE(FileExists(Path(L"used\\capture-001.avi")));
  EXPECT_FALSE(report.HasFailures());
  EXPECT_EQ(report.ExitCode(), kExitDone);
  const std::wstring text = report.Text();
  EXPECT_NE(text.find(L"Kept " + Path(L"used")), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"capture-001.avi, capture-002.avi"), std::wstring::npos) << text;

  RemovalReport quiet;
  RemoveFolderIfEmpty(Path(L"used"), quiet, false);
  EXPECT_EQ(quiet.Text(), L"");
}

TEST(RemovalReport, ExitCodeFollowsTheWorstOutcome) {
  RemovalReport report;
  EXPECT_EQ(report.ExitCode(), kExitDone);
  report.Kept(L"C:\\x", L"other files");
  EXPECT_EQ(report.ExitCode(), kExitDone);
  report.Deferred(L"C:\\x\\a.dll");
  EXPECT_EQ(report.ExitCode(), kExitRestartNeeded);
  EXPECT_TRUE(report.IsDeferred(L"c:\\X\\A.DLL"));
  EXPECT_FALSE(report.IsDeferred(L"C:\\x\\b.dll"));
  report.Failed(L"C:\\x\\b.dll", L"denied");
  EXPECT_EQ(report.ExitCode(), kExitFailed);
  // Failures lead, so that a long message box shows them first.
  const std::wstring text = report.Text();
  EXPECT_LT(text.find(L"Could not remove C:\\x\\b.dll"), text.find(L"Will be removed"));
  EXPECT_LT(text.find(L"Will be removed"), text.find(L"Kept C:\\x"));
}

TEST(ShortList, NamesTheFirstThreeSortedAndCountsTheRest) {
  EXPECT_EQ(ShortList({}), L"");
  EXPECT_EQ(ShortList({L"b", L"a"}), L"a, b");
  EXPECT_EQ(ShortList({L"e", L"d", L"c", L"b", L"a"}), L"a, b, c and 2 more");
}

using FilesEqualTest = Scratch;

TEST_F(FilesEqualTest, ComparesContentAndKnowsWhenItCannot) {
  std::string big(200000, 'a');
  std::string bigChanged = big;
  bigChanged[150000] = 'b';
  Write(L"one", big);
  Write(L"same", big);
  Write(L"changed", bigChanged);
  Write(L"shorter", big.substr(1));
  Write(L"empty1", "");
  Write(L"empty2", "");
  EXPECT_EQ(FilesEqual(Path(L"one"), Path(L"same")), std::optional<bool>(true));
  EXPECT_EQ(FilesEqual(Path(L"one"), Path(L"changed")), std::optional<bool>(false));
  EXPECT_EQ(FilesEqual(Path(L"one"), Path(L"shorter")), std::optional<bool>(false));
  EXPECT_EQ(FilesEqual(Path(L"empty1"), Path(L"empty2")), std::optional<bool>(true));
  EXPECT_EQ(FilesEqual(Path(L"one"), Path(L"missing")), std::nullopt);
}

class ShortcutTest : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override {
    CoUninitialize();
    Scratch::TearDown();
  }
  void MakeLink(const std::wstring& name, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    EXPECT_TRUE(SUCCEEDED(link->SetPath(target.c_str())));
    EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    EXPECT_TRUE(SUCCEEDED(file->Save(Path(name).c_str(), FALSE)));
    file->Release();
    link->Release();
  }
};

TEST_F(ShortcutTest, RemovesOnlyShortcutsIntoTheInstallFolderWhateverTheirNames) {
  ASSERT_TRUE(CreateDirectoryW(Path(L"Lumaglimpse").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Path(L"Lumaglimpse2").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Path(L"links").c_str(), nullptr));
  Write(L"Lumaglimpse\\Lumaglimpse.exe", "MZ");
  Write(L"Lumaglimpse\\Lumaglimpse.CHM", "help");
  Write(L"Lumaglimpse2\\Other.exe", "MZ");
  MakeLink(L"links\\Tarvex Lumaglimpse.lnk", Path(L"Lumaglimpse\\Lumaglimpse.exe"));
  MakeLink(L"links\\Hilfe.lnk", Path(L"Lumaglimpse\\Lumaglimpse.CHM"));
  MakeLink(L"links\\Other.lnk", Path(L"Lumaglimpse2\\Other.exe"));
  Write(L"links\\not-a-link.lnk", "garbage");
  Write(L"links\\notes.txt", "text");

  std::optional<std::wstring> target = LinkTarget(Path(L"links\\Hilfe.lnk"));
  ASSERT_TRUE(target.has_value());
  EXPECT_TRUE(FileExists(*target)) << *target;

  RemovalReport report;
  RemoveLinksInto(Path(L"links"), Path(L"Lumaglimpse\\"), report);
  EXPECT_FALSE(FileExists(Path(L"links\\Tarvex Lumaglimpse.lnk")));
  EXPECT_FALSE(FileExists(Path(L"links\\Hilfe.lnk")));
  EXPECT_TRUE(FileExists(Path(L"links\\Other.lnk")));
  EXPECT_TRUE(FileExists(Path(L"links\\not-a-link.lnk")));
  EXPECT_TRUE(FileExists(Path(L"links\\notes.txt")));
  EXPECT_EQ(report.Text(), L"");
}

}  // namespace
}  // namespace luma
