// Folder listings from the test host and from the Linux host.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/posix/posix_host.h"
#endif

namespace {

// The seam has no folder removal; tests clean up with the C runtime.
void RemoveFolder(const std::wstring& path) {
#ifdef _WIN32
  _wrmdir(path.c_str());
#else
  ::rmdir(zor::ToUtf8(path).c_str());
#endif
}

// "name/" for folders, "name size" for files, sorted.
std::vector<std::string> Describe(const std::vector<zor::DirEntry>& entries) {
  std::vector<std::string> out;
  for (const zor::DirEntry& e : entries) {
    std::string name(e.name.begin(), e.name.end());
    out.push_back(e.isDirectory ? name + "/" : name + " " + std::to_string(e.size));
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

TEST(ListDirectory, TestHostListsWhatIsDirectlyInsideAFolder) {
  zor::TestHost host;
  host.AddDirectory(L"C:\\App");
  host.AddDirectory(L"C:\\App\\Sub");
  host.AddFile(L"C:\\App\\Main.EXE", "12345");
  host.AddFile(L"C:\\App\\Sub\\deep.txt", "1");
  host.AddFile(L"C:\\Apple.txt", "");  // beside the folder, not in it
  std::vector<zor::DirEntry> entries{{L"stale", false, 1}};
  ASSERT_TRUE(host.ListDirectory(L"c:/app/", &entries));
  EXPECT_EQ(Describe(entries), (std::vector<std::string>{"Main.EXE 5", "Sub/"}));
  ASSERT_TRUE(host.ListDirectory(L"C:\\", &entries));
  EXPECT_EQ(Describe(entries), (std::vector<std::string>{"App/", "Apple.txt 0"}));
  EXPECT_FALSE(host.ListDirectory(L"C:\\Nowhere", &entries));
  EXPECT_TRUE(entries.empty());
}

// Through the seam, so the same test runs on Linux and under Wine.
TEST(ListDirectory, PlatformHostListsARealFolder) {
  zor::Host& host = zor::PlatformHost();
  std::wstring dir = host.TempFolder() + L"zor-list-" + zor::ToWString(static_cast<long long>(std::random_device()()));
  ASSERT_TRUE(host.CreateDirectory(dir));
  ASSERT_TRUE(host.CreateDirectory(dir + L"/Sub"));
  {
    auto file = host.OpenFile(dir + L"/data.bin", zor::FileAccess::kWrite, zor::kShareNone, zor::FileCreate::kCreateNew);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->Write("12345", 5), 5);
    auto empty = host.OpenFile(dir + L"/\u00e9t\u00e9", zor::FileAccess::kWrite, zor::kShareNone,
                               zor::FileCreate::kCreateNew);
    ASSERT_TRUE(empty);
  }
  std::vector<zor::DirEntry> entries;
  ASSERT_TRUE(host.ListDirectory(dir, &entries));
  std::vector<std::string> names;
  for (const zor::DirEntry& e : entries)
    names.push_back(zor::ToUtf8(e.name) + (e.isDirectory ? "/" : " " + std::to_string(e.size)));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Sub/", "data.bin 5", "\xC3\xA9t\xC3\xA9 0"}));
  ASSERT_TRUE(host.ListDirectory(dir + L"/Sub/", &entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(host.ListDirectory(dir + L"/data.bin", &entries));
  EXPECT_FALSE(host.ListDirectory(dir + L"/missing", &entries));
  EXPECT_FALSE(host.ListDirectory(L"", &entries));

  host.DeleteFile(dir + L"/data.bin");
  host.DeleteFile(dir + L"/\u00e9t\u00e9");
  RemoveFolder(dir + L"/Sub");
  RemoveFolder(dir);
}

#ifndef _WIN32
TEST(ListDirectory, PosixHostListsFilesAndFoldersAndLeavesOutTheRest) {
  char pattern[] = "/tmp/zor-list-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  std::string dir = pattern;
  ::mkdir((dir + "/sub").c_str(), 0755);
  std::ofstream(dir + "/a.txt") << "abc";
  std::ofstream(dir + "/\xC3\xA9t\xC3\xA9") << "";
  ASSERT_EQ(::symlink("a.txt", (dir + "/link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (dir + "/dangling").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0644), 0);

  zor::PosixHost host;
  std::vector<zor::DirEntry> entries;
  ASSERT_TRUE(host.ListDirectory(zor::FromUtf8(dir), &entries));
  std::vector<std::string> names;
  for (const zor::DirEntry& e : entries)
    names.push_back(zor::ToUtf8(e.name) + (e.isDirectory ? "/" : " " + std::to_string(e.size)));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt 3", "link 3", "sub/", "\xC3\xA9t\xC3\xA9 0"}));
  EXPECT_FALSE(host.ListDirectory(zor::FromUtf8(dir + "/a.txt"), &entries));
  EXPECT_FALSE(host.ListDirectory(zor::FromUtf8(dir + "/missing"), &entries));

  for (const char* name : {"/sub", "/a.txt", "/\xC3\xA9t\xC3\xA9", "/link", "/dangling", "/pipe"})
    ::remove((dir + name).c_str());
  ::rmdir(dir.c_str());
}
#endif
