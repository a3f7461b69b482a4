#include "engine/dir_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using zor::CDirDialog;
using zor::IFolderBrowser;
using zor::IFolderBrowserWindow;

// The browser window's side: what the dialog's callback told it.
struct FakeWindow : IFolderBrowserWindow {
  std::vector<std::wstring> selections;
  std::vector<std::wstring> captions;
  std::vector<std::wstring> statusTexts;
  std::vector<bool> okStates;
  void SetSelection(const std::wstring& path) override { selections.push_back(path); }
  void SetCaption(const std::wstring& text) override { captions.push_back(text); }
  void SetStatusText(const std::wstring& text) override { statusTexts.push_back(text); }
  void EnableOk(bool enable) override { okStates.push_back(enable); }
};

// A shell with a few folders: items are numbers, some have a path, some are
// virtual. The "user" is a script run while the browser is shown.
struct FakeBrowser : IFolderBrowser {
  bool hasAllocator = true;
  std::map<std::wstring, Item> parsable;  // root texts that parse
  std::map<Item, std::wstring> paths;     // items with a file-system path
  std::function<Item(FakeWindow&, CDirDialog&)> user;  // the item chosen, 0: cancel
  int imageIndex = 7;

  Request request;
  FakeWindow window;
  int allocatorsHeld = 0;
  std::set<Item> live;  // items handed out and not freed
  Item next = 100;

  bool GetAllocator() override {
    if (!hasAllocator) return false;
    ++allocatorsHeld;
    return true;
  }
  void ReleaseAllocator() override { --allocatorsHeld; }
  bool ParseDisplayName(const std::wstring& path, Item* item) override {
    auto it = parsable.find(path);
    if (it == parsable.end()) return false;
    *item = it->second;
    live.insert(it->second);
    return true;
  }
  void FreeItem(Item item) override {
    EXPECT_EQ(live.count(item), 1u) << "freed an item not handed out: " << item;
    live.erase(item);
  }
  Choice Browse(const Request& r, CDirDialog& dialog) override {
    request = r;
    dialog.OnBrowserInitialized(window);
    Choice choice;
    Item chosen = user ? user(window, dialog) : 0;
    if (chosen) {
      live.insert(chosen);
      choice.item = chosen;
      choice.imageIndex = imageIndex;
      choice.displayName = L"display";
    }
    return choice;
  }
  bool PathFromItem(Item item, std::wstring* path) override {
    auto it = paths.find(item);
    if (it == paths.end()) return false;
    *path = it->second;
    return true;
  }
};

class DirDialogTest : public ::testing::Test {
 protected:
  DirDialogTest() {
    browser.paths = {{1, L"C:\\Apps"}, {2, L"D:\\"}};
    dialog.SetBrowser(&browser);
  }
  void TearDown() override {
    EXPECT_EQ(browser.allocatorsHeld, 0) << "allocator not released";
    EXPECT_TRUE(browser.live.empty()) << "item identifiers not freed";
  }
  FakeBrowser browser;
  CDirDialog dialog;
};

TEST_F(DirDialogTest, ChosenFolderGivesItsPathAndIcon) {
  browser.user = [](FakeWindow&, CDirDialog&) { return IFolderBrowser::Item{1}; };
  dialog.m_strTitle = L"Pick one";
  EXPECT_EQ(dialog.DoBrowse(0x55), 1);
  EXPECT_EQ(dialog.m_strPath, L"C:\\Apps");
  EXPECT_EQ(dialog.m_iImageIndex, 7);
  EXPECT_EQ(browser.request.owner, 0x55u);
  EXPECT_EQ(browser.request.title, L"Pick one");
  EXPECT_EQ(browser.request.flags, 9u);
  EXPECT_EQ(browser.request.root, 0u);
}

TEST_F(DirDialogTest, StatusLineAddsItsFlag) {
  dialog.m_bStatus = 1;
  dialog.DoBrowse(0);
  EXPECT_EQ(browser.request.flags, 13u);
}

TEST_F(DirDialogTest, NothingChosenLeavesThePath) {
  struct Case {
    const char* what;
    std::function<void(FakeBrowser&, CDirDialog&)> arrange;
  };
  const Case cases[] = {
      {"cancelled", [](FakeBrowser&, CDirDialog&) {}},
      {"virtual folder without a path",
       [](FakeBrowser& b, CDirDialog&) { b.user = [](FakeWindow&, CDirDialog&) { return IFolderBrowser::Item{9}; }; }},
      {"no shell allocator", [](FakeBrowser& b, CDirDialog&) { b.hasAllocator = false; }},
      {"root that does not parse", [](FakeBrowser&, CDirDialog& d) { d.m_strInitRoot = L"Q:\\nowhere"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBrowser b;
    b.paths = browser.paths;
    CDirDialog d;
    d.SetBrowser(&b);
    d.m_strPath = L"E:\\Before";
    c.arrange(b, d);
    EXPECT_EQ(d.DoBrowse(0), 0);
    EXPECT_EQ(d.m_strPath, L"E:\\Before");
    EXPECT_EQ(b.allocatorsHeld, 0);
    EXPECT_TRUE(b.live.empty());
  }
}

TEST_F(DirDialogTest, RootIsParsedPassedAndFreed) {
  browser.parsable[L"C:\\Apps"] = 50;
  browser.user = [](FakeWindow&, CDirDialog&) { return IFolderBrowser::Item{1}; };
  dialog.m_strInitRoot = L"C:\\Apps";
  EXPECT_EQ(dialog.DoBrowse(0), 1);
  EXPECT_EQ(browser.request.root, 50u);
  // TearDown checks that the root item was freed as well.
}

TEST_F(DirDialogTest, InitialSelectionIsTrimmedBeforeTheBrowserSelectsIt) {
  struct Case {
    const wchar_t* given;
    const wchar_t* selected;
  };
  const Case cases[] = {
      {L"C:\\Apps\\", L"C:\\Apps"},        {L"C:\\Apps/", L"C:\\Apps"},
      {L"C:\\Apps   ", L"C:\\Apps"},      {L"C:\\Apps\\ \t\r\n", L"C:\\Apps"},
      {L"C:\\Apps\\\\", L"C:\\Apps\\"},   // one separator only
      {L"C:\\Apps", L"C:\\Apps"},          {L"D:\\", L"D:\\"},  // a drive root keeps its backslash
      {L"D:\\  ", L"D:\\"},               {L"\\\\server\\share\\", L"\\\\server\\share"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.given, c.given + wcslen(c.given)).c_str());
    FakeBrowser b;
    CDirDialog d;
    d.SetBrowser(&b);
    d.m_strSelDir = c.given;
    d.DoBrowse(0);
    ASSERT_EQ(b.window.selections.size(), 1u);
    EXPECT_EQ(b.window.selections[0], c.selected);
  }
}

TEST_F(DirDialogTest, InitialisationSetsOnlyWhatIsGiven) {
  dialog.DoBrowse(0);
  EXPECT_TRUE(browser.window.selections.empty());
  EXPECT_TRUE(browser.window.captions.empty());

  FakeBrowser b;
  CDirDialog d;
  d.SetBrowser(&b);
  d.m_strWindowTitle = L"Destination";
  d.DoBrowse(0);
  EXPECT_EQ(b.window.captions, std::vector<std::wstring>{L"Destination"});
}

// A dialog that takes only folders on drive D and says why otherwise.
class DriveDOnly : public CDirDialog {
 public:
  std::vector<std::wstring> seen;
  int SelChanged(const std::wstring& path, std::wstring* status) override {
    seen.push_back(path);
    if (path.rfind(L"D:", 0) == 0) return 1;
    *status = L"Only drive D";
    return 0;
  }
};

TEST_F(DirDialogTest, SelectionChangesAskSelChangedAndDriveTheOkButton) {
  for (int status : {0, 1}) {
    SCOPED_TRACE(status);
    FakeBrowser b;
    b.paths = browser.paths;
    DriveDOnly d;
    d.SetBrowser(&b);
    d.m_bStatus = status;
    b.user = [](FakeWindow& w, CDirDialog& dlg) {
      dlg.OnBrowserSelChanged(w, 1);  // C:\Apps
      dlg.OnBrowserSelChanged(w, 9);  // virtual: no path
      dlg.OnBrowserSelChanged(w, 2);  // D:\ .
      return IFolderBrowser::Item{2};
    };
    EXPECT_EQ(d.DoBrowse(0), 1);
    EXPECT_EQ(d.m_strPath, L"D:\\");
    EXPECT_EQ(d.seen, (std::vector<std::wstring>{L"C:\\Apps", L"", L"D:\\"}));
    EXPECT_EQ(b.window.okStates, (std::vector<bool>{false, false, true}));
    if (status == 1) {
      EXPECT_EQ(b.window.statusTexts, (std::vector<std::wstring>{L"Only drive D", L"Only drive D", L""}));
    } else {
      EXPECT_TRUE(b.window.statusTexts.empty());
    }
  }
}

TEST_F(DirDialogTest, BaseSelChangedTakesEveryFolder) {
  browser.user = [](FakeWindow& w, CDirDialog& dlg) {
    EXPECT_EQ(dlg.OnBrowserSelChanged(w, 9), 0);
    return IFolderBrowser::Item{0};
  };
  dialog.m_bStatus = 1;
  dialog.DoBrowse(0);
  EXPECT_EQ(browser.window.okStates, std::vector<bool>{true});
  EXPECT_EQ(browser.window.statusTexts, std::vector<std::wstring>{L""});
}

#ifdef _WIN32
// The shell's side, as far as it goes without a user: items from paths and
// back, and a root that does not parse ending the browse before any window.
TEST(DirDialogPlatform, ShellItemsRoundTripAndABadRootShowsNothing) {
  IFolderBrowser& shell = zor::PlatformFolderBrowser();
  ASSERT_TRUE(shell.GetAllocator());
  IFolderBrowser::Item item = 0;
  ASSERT_TRUE(shell.ParseDisplayName(L"C:\\windows", &item));
  std::wstring path;
  EXPECT_TRUE(shell.PathFromItem(item, &path));
  EXPECT_TRUE(path == L"C:\\windows" || path == L"C:\\Windows") << std::string(path.begin(), path.end());
  shell.FreeItem(item);
  EXPECT_FALSE(shell.ParseDisplayName(L"Q:\\no\\such\\folder", &item));
  shell.ReleaseAllocator();

  CDirDialog d;
  d.m_strPath = L"kept";
  d.m_strInitRoot = L"Q:\\no\\such\\folder";
  EXPECT_EQ(d.DoBrowse(0), 0);
  EXPECT_EQ(d.m_strPath, L"kept");
}
#else
TEST(DirDialogPlatform, WithoutAShellBrowsingChoosesNothing) {
  CDirDialog d;
  d.m_strPath = L"kept";
  EXPECT_EQ(d.DoBrowse(0), 0);
  EXPECT_EQ(d.m_strPath, L"kept");
}
#endif

}  // namespace
