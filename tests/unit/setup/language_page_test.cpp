#include "setup/language_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/host.h"
#include "platform/testhost/test_host.h"
#include "setup/agreement_text.h"
#include "setup/language_table.h"
#include "setup/setup_globals.h"

namespace {

using zor::CDirDialog;
using zor::CLanguagePage;
using zor::IFolderBrowser;

constexpr uint16_t Lang(uint16_t primary, uint16_t sub) { return static_cast<uint16_t>(sub << 10 | primary); }

// A browser whose user picks one folder (or cancels).
struct PickingBrowser : IFolderBrowser {
  std::optional<std::wstring> pick;
  bool GetAllocator() override { return true; }
  void ReleaseAllocator() override {}
  bool ParseDisplayName(const std::wstring&, Item*) override { return false; }
  void FreeItem(Item) override {}
  Choice Browse(const Request& r, CDirDialog&) override {
    owner = r.owner;
    Choice c;
    if (pick) c.item = 1;
    return c;
  }
  bool PathFromItem(Item, std::wstring* path) override {
    *path = *pick;
    return true;
  }
  zor::WindowHandle owner = 12345;
};

class LanguagePageTest : public ::testing::Test {
 protected:
  LanguagePageTest() : scoped_(&host_), page_(&installDir_) {
    zor::ResetSetupGlobals();
    host_.specialFolders[zor::kCsidlProgramFiles] = L"C:\\Program Files";
  }
  ~LanguagePageTest() override { zor::ResetSetupGlobals(); }

  zor::TestHost host_;
  zor::ScopedHost scoped_;
  std::wstring installDir_ = L"unset";
  CLanguagePage page_;
};

TEST_F(LanguagePageTest, DefaultFolderIsBelowProgramFiles) {
  EXPECT_EQ(page_.Initialize().folderText, L"C:\\Program Files\\Tarvex\\Lumaglimpse\\");

  host_.specialFolders.clear();  // the lookup fails
  EXPECT_EQ(page_.Initialize().folderText, L"\\Tarvex\\Lumaglimpse\\");
}

// Both language lists preselect the system language's row; the agreement
// list shows that row's text, or the first agreement without a row.
TEST_F(LanguagePageTest, SystemLanguageSelectsTheRowOnBothPages) {
  struct Case {
    uint16_t langId;
    int row;  // -1: no selection
    const wchar_t* listText;
    uint32_t agreement;
    const char* what;
  };
  const Case cases[] = {
      {Lang(7, 1), 3, L"Deutsch", 145, "German"},
      {Lang(4, 2), 0, L"简体中文", 139, "Chinese, PRC"},
      {Lang(4, 4), 5, L"繁體中文", 143, "Chinese, Singapore"},
      {Lang(4, 1), 5, L"繁體中文", 143, "Chinese, Taiwan"},
      {Lang(22, 1), 19, L"Português (Brasileiro) ", 175, "Portuguese, Brazil"},
      {Lang(22, 2), 8, L"Português", 166, "Portuguese, Portugal"},
      {Lang(1, 1), 1, L"English", 140, "Arabic"},
      {Lang(13, 1), 1, L"English", 140, "Hebrew"},
      {Lang(31, 1), 21, L"Türkçe", 176, "Turkish"},
      {Lang(29, 1), 20, L"Svenska", 177, "Swedish"},
      {Lang(30, 1), -1, nullptr, 139, "Thai: no row"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_.langId = c.langId;
    zor::g_nLangIndex = 6;
    CLanguagePage::Initial initial = page_.Initialize();
    if (c.row < 0) {
      EXPECT_FALSE(initial.selection.has_value());
      EXPECT_EQ(zor::g_nLangIndex, 6) << "without a row the index keeps its value";
      EXPECT_EQ(zor::AgreementIdForSelection(-1), 139u);
    } else {
      ASSERT_TRUE(initial.selection.has_value());
      EXPECT_EQ(*initial.selection, c.row);
      EXPECT_EQ(zor::g_nLangIndex, c.row);
      EXPECT_STREQ(zor::GetLanguageRow(*initial.selection)->listText, c.listText);
      EXPECT_EQ(zor::AgreementIdForSelection(*initial.selection), c.agreement);
    }
  }
}

TEST_F(LanguagePageTest, ThaiLeavesTheFirstRowInForce) {
  host_.langId = Lang(30, 1);
  EXPECT_FALSE(page_.Initialize().selection.has_value());
  EXPECT_EQ(zor::g_nLangIndex, 0);
  EXPECT_STREQ(zor::GetLanguageRow(zor::g_nLangIndex)->moduleFile, L"Install.dll");
}

TEST_F(LanguagePageTest, OnlyRowsChangeTheLanguageIndex) {
  const struct {
    int selection;
    int index;
  } cases[] = {{0, 0}, {21, 21}, {3, 3}, {-1, 3}, {22, 3}, {1000, 3}, {20, 20}};
  for (const auto& c : cases) {
    page_.SelectionChanged(c.selection);
    EXPECT_EQ(zor::g_nLangIndex, c.index) << "selection " << c.selection;
  }
}

TEST_F(LanguagePageTest, TextChangesReachTheInstallFolderUnchecked) {
  for (const wchar_t* text : {L"D:\\Mine", L"", L"not a path at all?*", L"C:\\Program Files\\Tarvex\\Lumaglimpse\\"}) {
    page_.FolderTextChanged(text);
    EXPECT_EQ(installDir_, text);
  }
}

TEST_F(LanguagePageTest, BrowseRule) {
  const struct {
    const wchar_t* chosen;
    const wchar_t* folder;
  } cases[] = {
      {L"D:\\", L"D:\\Lumaglimpse\\"},
      {L"D:\\Apps\\Lumaglimpse", L"D:\\Apps\\Lumaglimpse\\"},
      {L"D:\\lumaglimpse", L"D:\\lumaglimpse\\Lumaglimpse\\"},
      {L"D:\\Apps", L"D:\\Apps\\Lumaglimpse\\"},
      {L"D:\\Lumaglimpse2\\Old", L"D:\\Lumaglimpse2\\Old\\"},  // a substring is enough
      {L"\\\\server\\share", L"\\\\server\\share\\Lumaglimpse\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zor::ApplyBrowseRule(c.chosen), c.folder);

    PickingBrowser browser;
    browser.pick = c.chosen;
    CDirDialog dialog;
    dialog.SetBrowser(&browser);
    std::optional<std::wstring> field = page_.Browse(dialog);
    ASSERT_TRUE(field.has_value());
    EXPECT_EQ(*field, c.folder);
    EXPECT_EQ(installDir_, c.folder);
    EXPECT_EQ(browser.owner, 0u) << "the browser has no owner window";
  }
}

TEST_F(LanguagePageTest, CancelledBrowseChangesNothing) {
  installDir_ = L"E:\\Typed";
  PickingBrowser browser;  // picks nothing
  CDirDialog dialog;
  dialog.SetBrowser(&browser);
  EXPECT_FALSE(page_.Browse(dialog).has_value());
  EXPECT_EQ(installDir_, L"E:\\Typed");
}

TEST_F(LanguagePageTest, LongBrowseResultIsKeptWhole) {
  // The folder check on leaving the page judges it; nothing is cut here.
  std::wstring deep = L"D:\\" + std::wstring(300, L'a');
  PickingBrowser browser;
  browser.pick = deep;
  CDirDialog dialog;
  dialog.SetBrowser(&browser);
  EXPECT_EQ(page_.Browse(dialog).value(), deep + L"\\Lumaglimpse\\");
  EXPECT_EQ(installDir_, deep + L"\\Lumaglimpse\\");
}

}  // namespace
