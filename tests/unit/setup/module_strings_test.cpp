#include "setup/module_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"

namespace {

// A string table block of 16 entries; missing entries are empty.
std::string Block(const std::vector<std::wstring>& strings) {
  std::string out;
  for (size_t i = 0; i < 16; ++i) {
    std::wstring s = i < strings.size() ? strings[i] : std::wstring();
    std::u16string units = zor::ToUtf16(s);
    out.push_back(static_cast<char>(units.size() & 0xFF));
    out.push_back(static_cast<char>(units.size() >> 8));
    zor::AppendUtf16Le(out, s);
  }
  return out;
}

TEST(ModuleStrings, StringsComeFromTheCurrentModule) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  host.AddFile(L"C:\\Temp\\InstallEn.dll", "MZ");
  // Ids 112 to 127 are block 8; 117 is its sixth entry, 126 its fifteenth.
  std::vector<std::wstring> english(16);
  english[117 - 112] = L"\\Microsoft\\Internet Explorer\\Quick Launch\\Tarvex Lumaglimpse.lnk";
  english[126 - 112] = L"\\Tarvex Lumaglimpse.lnk";
  host.AddResource(L"C:\\Temp\\InstallEn.dll", zor::kStringTableType, 8, Block(english));
  host.AddResource(L"", zor::kStringTableType, 7, Block({L"", L"", L"", L"", L"", L"", L"\u5b89\u88c5"}));

  zor::CModuleStrings strings;
  EXPECT_EQ(strings.GetString(102), L"\u5b89\u88c5") << "the program's own table first";
  EXPECT_EQ(strings.GetString(117), L"");
  strings.SetModule(host.LoadModule(L"C:\\Temp\\InstallEn.dll"));
  EXPECT_EQ(strings.GetString(117), english[5]);
  EXPECT_EQ(strings.GetString(126), english[14]);
  EXPECT_EQ(strings.GetString(127), L"") << "an empty entry";
  EXPECT_EQ(strings.GetString(102), L"") << "a block the module lacks";
  EXPECT_EQ(strings.GetString(0x10000), L"");
}

TEST(ModuleStrings, ABlockCutShortGivesNothing) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  std::string block = Block({L"abc", L"defgh"});
  const struct {
    size_t keep;
    uint32_t id;
    std::wstring expected;
  } cases[] = {
      {block.size(), 1, L"defgh"}, {2 + 6 + 2 + 10, 1, L"defgh"}, {2 + 6 + 2 + 9, 1, L""},
      {2 + 6 + 1, 1, L""},         {2 + 6, 0, L"abc"},            {1, 0, L""},
      {0, 0, L""},                 {block.size(), 15, L""},
  };
  for (const auto& c : cases) {
    host.AddResource(L"", zor::kStringTableType, 1, block.substr(0, c.keep));
    EXPECT_EQ(zor::CModuleStrings().GetString(c.id), c.expected) << c.keep << " bytes, id " << c.id;
  }
}

#if defined(_WIN32) && defined(ZOR_LANGUAGE_MODULE_DIR)
// The block layout as the resource compiler writes it, read from a built
// language module through the Windows host.
TEST(ModuleStrings, BuiltLanguageModule) {
  zor::Host& host = zor::CurrentHost();
  zor::Host::Module module = host.LoadModule(zor::FromUtf8(ZOR_LANGUAGE_MODULE_DIR) + L"\\InstallEn.dll");
  ASSERT_NE(module, 0u);
  zor::CModuleStrings strings(module);
  EXPECT_EQ(strings.GetString(zor::kIdsDesktopLink), L"\\Tarvex Lumaglimpse.lnk");
  EXPECT_EQ(strings.GetString(zor::kIdsProgramLink), L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse.lnk");
  EXPECT_EQ(strings.GetString(zor::kIdsCaption), L"Install Tarvex Lumaglimpse");
  host.UnloadModule(module);
}
#endif

}  // namespace
