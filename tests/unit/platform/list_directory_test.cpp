// Folder listings from the test host and from the Linux host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/testhost/test_host.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "common/wstr.h"
#include "platform/posix/posix_host.h"
#endif

namespace {

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
