#include "engine/paths.h"

#include <gtest/gtest.h>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"

namespace {

TEST(Paths, OnlyPlainNamesPass) {
  for (const wchar_t* ok : {L"a", L"main.ini", L"..a", L".hidden", L"console", L"com10", L"LPT",
                            L"\x4e2d\x6587.txt", L"name with spaces"})
    EXPECT_TRUE(zor::IsPlainName(ok)) << zor::ToUtf8(ok);
  for (const wchar_t* bad : {L"", L".", L"..", L"...", L". .", L"  ", L"a\\b", L"a/b", L"\\", L"C:", L"a:b",
                             L"x\ty", L"CON", L"con.txt", L"Nul", L"aux .txt", L"COM1", L"lpt9.log", L"CONOUT$"})
    EXPECT_FALSE(zor::IsPlainName(bad)) << zor::ToUtf8(bad);
  EXPECT_FALSE(zor::IsPlainName(std::wstring(L"a\0b", 3)));
}

TEST(Paths, NamesWindowsWouldAlterOrRefuseAreNotPlain) {
  // Each would reach another entry than the one named, a device, or fail.
  for (const wchar_t* bad : {L"a.", L"a..", L"a ", L"setup.exe.", L"readme.txt ", L"a<b", L"a>b", L"a\"b", L"a|b", L"a?",
                             L"*.txt", L"COM\u00B9", L"lpt\u00B2.log", L"Com\u00B3", L"x\x1f", L"COM0"})
    EXPECT_FALSE(zor::IsPlainName(bad)) << zor::ToUtf8(bad);
  for (const wchar_t* ok : {L"COM\u2074", L"a.b", L" a", L"#%&'()+,;=@[]^`{}~", L"\x7f", L"\u00e9t\u00e9"})
    EXPECT_TRUE(zor::IsPlainName(ok)) << zor::ToUtf8(ok);
  // The reason names the rule that refused it.
  EXPECT_EQ(zor::NameProblem(L"a."), "ends in a dot or a space, which Windows drops, so it would name another entry");
  EXPECT_EQ(zor::NameProblem(L"a?"), "contains the character ?, which Windows refuses in names");
  EXPECT_EQ(zor::NameProblem(L".."), "is made of dots and spaces alone, so it names no entry of its own");
  EXPECT_EQ(zor::NameProblem(L"aux.h"), "is a device name, which Windows opens instead of a file");
  EXPECT_EQ(zor::NameProblem(L"ok.txt"), "");
}

TEST(Paths, NamesCompareAsWindowsFindsThem) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
  };
  for (const Case& c : std::initializer_list<Case>{
           {L"Readme.TXT", L"readme.txt", true},
           {L"\u00e9t\u00e9", L"\u00c9T\u00c9", true},       // Latin-1
           {L"\u0444\u0430\u0439\u043b", L"\u0424\u0410\u0419\u041b", true},  // Cyrillic
           {L"\u01c6", L"\u01c4", true},                      // dz digraph, lower and upper
           {L"\u1f80", L"\u1f88", true},                      // simple mapping, not the full one
           {L"\u00ff", L"\u0178", true},                      // y with diaeresis leaves Latin-1
           {L"\uff41", L"\uff21", true},                      // full-width a
           {L"a.", L"A", true},                                 // trailing dots are dropped
           {L"stra\u00dfe", L"STRASSE", false},                // no multi-letter forms
           {L"\U00010428", L"\U00010400", false},             // beyond the 16-bit table
           {L"a", L"b", false},
       })
    EXPECT_EQ(zor::NameKey(c.a) == zor::NameKey(c.b), c.same) << zor::ToUtf8(c.a) << " " << zor::ToUtf8(c.b);
}

TEST(Paths, AbsolutePathsAreCompletedAndNormalisedLexically) {
  struct Case {
    const wchar_t* path;
    const wchar_t* current;
    const wchar_t* absolute;
  };
  for (const Case& c : std::initializer_list<Case>{
           {L".", L"C:\\Work", L"C:\\Work"},
           {L"./out", L"C:\\Work", L"C:\\Work\\out"},
           {L"x/../y", L"C:\\Work\\", L"C:\\Work\\y"},
           {L"C:\\a\\..\\b", L"D:\\", L"C:\\b"},
           {L"C:\\a\\.\\b\\", L"D:\\", L"C:\\a\\b"},
           {L"C:\\..\\..\\x", L"D:\\", L"C:\\x"},             // stays at the root
           {L"..\\..\\..", L"C:\\Work\\a", L"C:\\"},
           {L"\\Windows", L"D:\\Work", L"D:\\Windows"},           // rooted: the current drive
           {L"D:sub", L"D:\\Work", L"D:\\Work\\sub"},             // drive-relative, same drive
           {L"E:sub", L"D:\\Work", L"E:\\sub"},
           {L"\\\\srv\\share\\a\\..\\..\\b", L"C:\\", L"\\\\srv\\share\\b"},
           {L"\\\\?\\C:\\a\\..", L"C:\\", L"\\\\?\\C:\\a\\.."},     // taken literally by the system
           {L"out/./sub//f", L"/home/u", L"/home/u/out/sub/f"},
           {L"/tmp/../etc", L"/home/u", L"/etc"},
           {L"..", L"/", L"/"},
           {L"rel", L"", L""},                                 // nothing to complete it with
       })
    EXPECT_EQ(zor::AbsolutePath(c.path, c.current), c.absolute) << zor::ToUtf8(c.path) << " in " << zor::ToUtf8(c.current);
  // A normalised destination contains what is joined to it.
  EXPECT_TRUE(zor::IsWithinFolder(zor::AbsolutePath(L"./out", L"/w"), zor::AbsolutePath(L"./out", L"/w") + L"\\a"));
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
           {L"C:\\Donn\u00e9es", L"C:\\DONN\u00c9ES\\a", true},  // as Windows compares names
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
