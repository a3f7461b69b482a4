#include "setup/install_folder_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testhost/test_host.h"

namespace {

class InstallFolderCheck : public testing::Test {
 protected:
  zor::TestHost host_;
  zor::ScopedHost scoped_{&host_};
};

TEST_F(InstallFolderCheck, ChainRequestsEveryPrefixInOrder) {
  EXPECT_TRUE(zor::CreateFolderChain(L"C:\\A\\B\\"));
  EXPECT_EQ(host_.directoryRequests, (std::vector<std::wstring>{L"C:", L"C:\\", L"C:\\A\\", L"C:\\A\\B\\"}));
  EXPECT_TRUE(host_.HasDirectory(L"C:\\A\\B"));

  host_.directoryRequests.clear();
  EXPECT_TRUE(zor::CreateFolderChain(L"C:/A/B/C")) << "slashes count as backslashes, the last one is added";
  EXPECT_EQ(host_.directoryRequests,
            (std::vector<std::wstring>{L"C:", L"C:\\", L"C:\\A\\", L"C:\\A\\B\\", L"C:\\A\\B\\C\\"}));
  EXPECT_TRUE(host_.HasDirectory(L"C:\\A\\B\\C"));
}

TEST_F(InstallFolderCheck, ExistingAndRefusedFoldersAreToleratedOtherErrorsStop) {
  struct Case {
    long error;
    bool ok;
  } cases[] = {{zor::kErrAlreadyExists, true}, {zor::kErrAccessDenied, true},
               {zor::kErrPathNotFound, false}, {zor::kErrInvalidName, false}, {zor::kErrSharingViolation, false}};
  for (const Case& c : cases) {
    zor::TestHost host;
    zor::ScopedHost scoped(&host);
    // The folder is there; the system answers its creation with the error.
    host.AddDirectory(L"C:\\A");
    host.createDirectoryErrors[L"C:\\A\\"] = c.error;
    EXPECT_EQ(zor::CreateFolderChain(L"C:\\A\\B\\"), c.ok) << "error " << c.error;
    // A failure stops at once: nothing after the failing folder is asked for.
    EXPECT_EQ(host.directoryRequests.size(), c.ok ? 4u : 3u) << "error " << c.error;
    EXPECT_EQ(host.HasDirectory(L"C:\\A\\B"), c.ok) << "error " << c.error;
  }
}

TEST_F(InstallFolderCheck, FolderToCreateAddsTheProductFolderToTheCopyOnly) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* created;
  } cases[] = {
      {L"C:\\", L"C:\\Lumaglimpse"},
      {L"D:\\Apps", L"D:\\Apps\\Lumaglimpse"},
      {L"D:\\Apps\\Lumaglimpse", L"D:\\Apps\\Lumaglimpse\\"},
      {L"D:\\MyLumaglimpseApps\\", L"D:\\MyLumaglimpseApps\\"},
      {L"D:\\lumaglimpse\\", L"D:\\lumaglimpse\\Lumaglimpse"},  // case-sensitive
  };
  for (const Case& c : cases) EXPECT_EQ(zor::FolderToCreate(c.folder), c.created) << c.folder;
}

TEST_F(InstallFolderCheck, LeavingTheLanguagePageAcceptsOnlyCreatableFolders) {
  struct Case {
    const wchar_t* folder;
    bool accepted;
    const wchar_t* made;  // a folder the check leaves, or null
    const char* what;
  } cases[] = {
      {L"", false, nullptr, "empty"},
      {L"C", false, nullptr, "one character"},
      {L"C:", false, nullptr, "two characters"},
      {L"C:\\", true, L"C:\\Lumaglimpse", "the drive root: the product folder is made under it"},
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse\\", true, L"C:\\Program Files\\Tarvex\\Lumaglimpse",
       "the default folder"},
      {L"Q:\\Apps\\", false, nullptr, "a drive that does not exist"},
      {L"\\\\server\\share\\Apps", false, nullptr, "a network path: the name before the first backslash is empty"},
  };
  for (const Case& c : cases) {
    zor::TestHost host;
    zor::ScopedHost scoped(&host);
    host.missingDrives = L"q";
    std::wstring folder = c.folder;
    EXPECT_EQ(zor::AcceptInstallFolder(folder), c.accepted) << c.what;
    EXPECT_EQ(folder, c.folder) << c.what;
    if (c.made) {
      EXPECT_TRUE(host.HasDirectory(c.made)) << c.what;
    }
    if (folder.size() <= 2) {
      EXPECT_TRUE(host.directoryRequests.empty()) << c.what << ": too short to try";
    }
  }
}

}  // namespace
