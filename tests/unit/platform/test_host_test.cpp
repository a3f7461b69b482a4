#include "platform/testhost/test_host.h"

#include <gtest/gtest.h>

using zor::FileAccess;
using zor::FileCreate;

TEST(TestHost, FilesShareLikeWindows) {
  zor::TestHost host;
  host.AddFile(L"C:\\a.txt", "abc");
  long err = 0;
  auto reader = host.OpenFile(L"c:/A.TXT", FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting, &err);
  ASSERT_TRUE(reader);
  // A writer is refused while a reader holds the file without write sharing.
  EXPECT_FALSE(host.OpenFile(L"C:\\a.txt", FileAccess::kWrite, zor::kShareRead | zor::kShareWrite,
                             FileCreate::kOpenAlways, &err));
  EXPECT_EQ(err, zor::kErrSharingViolation);
  EXPECT_TRUE(host.OpenFile(L"C:\\a.txt", FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting));
  reader.reset();
  auto writer = host.OpenFile(L"C:\\a.txt", FileAccess::kWrite, 0, FileCreate::kCreateAlways);
  ASSERT_TRUE(writer);
  EXPECT_EQ(writer->Write("xy", 2), 2);
  writer.reset();
  EXPECT_EQ(*host.FileBytes(L"C:\\A.txt"), "xy");
  // Missing folders and missing files.
  EXPECT_FALSE(host.OpenFile(L"C:\\no\\b.txt", FileAccess::kWrite, 0, FileCreate::kCreateAlways, &err));
  EXPECT_EQ(err, zor::kErrPathNotFound);
  EXPECT_FALSE(host.OpenFile(L"C:\\b.txt", FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting, &err));
  EXPECT_EQ(err, zor::kErrFileNotFound);
}

TEST(TestHost, RegistryCreatesLevelsAndInjectsFailures) {
  zor::TestHost host;
  zor::Host::RegKey key;
  EXPECT_EQ(host.RegOpenKey(zor::kHkeyLocalMachine, L"SOFTWARE\\A\\B", &key), zor::kErrFileNotFound);
  ASSERT_EQ(host.RegCreateKey(zor::kHkeyLocalMachine, L"SOFTWARE\\A\\B", &key), zor::kErrSuccess);
  EXPECT_TRUE(host.HasRegKey(zor::kHkeyLocalMachine, L"software\\a"));
  uint8_t v[4] = {1, 0, 0, 0};
  EXPECT_EQ(host.RegSetValue(key, L"Lang", zor::kRegDword, v, 4), zor::kErrSuccess);
  host.RegCloseKey(key);
  auto got = host.GetRegValue(zor::kHkeyLocalMachine, L"Software\\A\\B", L"lang");
  ASSERT_TRUE(got);
  EXPECT_EQ(got->type, zor::kRegDword);
  host.failRegCreate = true;
  EXPECT_NE(host.RegCreateKey(zor::kHkeyLocalMachine, L"SOFTWARE\\C", &key), zor::kErrSuccess);
}
