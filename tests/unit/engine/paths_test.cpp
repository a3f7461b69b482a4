#include "engine/paths.h"

#include <gtest/gtest.h>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"

namespace {

TEST(Paths, OnlyPlainNamesPass) {
  for (const wchar_t* ok : {L"a", L"main.ini", L"..a", L"a..", L".hidden", L"console", L"com10", L"LPT",
                            L"\x4e2d\x6587.txt", L"name with spaces"})
    EXPECT_TRUE(zor::IsPlainName(ok)) << zor::ToUtf8(ok);
  for (const wchar_t* bad : {L"", L".", L"..", L"...", L". .", L"  ", L"a\\b", L"a/b", L"\\", L"C:", L"a:b",
                             L"x\ty", L"CON", L"con.txt", L"Nul", L"aux .txt", L"COM1", L"lpt9.log", L"CONOUT$"})
    EXPECT_FALSE(zor::IsPlainName(bad)) << zor::ToUtf8(bad);
  EXPECT_FALSE(zor::IsPlainName(std::wstring(L"a\0b", 3)));
}

TEST(Paths, ContainmentIsByComponents) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* path;
    bool inside;
  };
  for (const Case& c : std::initializer_list<Case>{
           {L"C:\\Program Files\\", L"C:\\Program Files\\Tarvex\\a.exe", true},
           {L"C:\\Program Files", L"c:\\program files", true},
           {L"C:\\Prog", L"C:\\Program Files\\a.exe", false},
           {L"C:\\Dest\\", L"C:\\Dest\\..\\Windows\\a.dll", false},
           {L"C:\\Dest\\", L"C:\\Dest\\.\\a", false},
           {L"C:\\Dest\\", L"C:\\Dest/sub/a", true},
           {L"/tmp/d/", L"/tmp/d/x", true},
           {L"/tmp/d/", L"tmp/d/x", false},
           {L"C:\\Dest", L"C:\\", false},
           {L"", L"C:\\a", false},
       })
    EXPECT_EQ(zor::IsWithinFolder(c.folder, c.path), c.inside) << zor::ToUtf8(c.folder) << " " << zor::ToUtf8(c.path);
}

TEST(Paths, DirectoryChainsAreCreatedFromTheTop) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  zor::CreateDirectoryChain(L"C:\\a\\b\\c\\");
  EXPECT_TRUE(host.HasDirectory(L"C:\\a"));
  EXPECT_TRUE(host.HasDirectory(L"C:\\a\\b"));
  EXPECT_TRUE(host.HasDirectory(L"C:\\a\\b\\c"));
  zor::CreateDirectoryChain(L"C:\\a\\b\\d");  // existing levels are no failure
  EXPECT_TRUE(host.HasDirectory(L"C:\\a\\b\\d"));
}

TEST(Paths, UniqueFilesNeverReuseANameInUse) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  std::wstring first, second;
  auto a = zor::CreateUniqueFile(L"C:\\Temp\\", L"Zor", &first);
  auto b = zor::CreateUniqueFile(L"C:\\Temp\\", L"Zor", &second);
  ASSERT_TRUE(a && b);
  EXPECT_NE(first, second);
  for (const std::wstring& p : {first, second}) {
    EXPECT_EQ(p.rfind(L"C:\\Temp\\Zor", 0), 0u);
    EXPECT_EQ(p.substr(p.size() - 4), L".tmp");
    EXPECT_TRUE(host.HasFile(p));
  }
  long error = 0;
  EXPECT_FALSE(zor::CreateUniqueFile(L"C:\\Missing\\", L"Zor", nullptr, &error));
  EXPECT_EQ(error, zor::kErrPathNotFound);
}

}  // namespace
