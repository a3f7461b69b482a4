#include "model/default_box.h"

#include <gtest/gtest.h>

#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"

using namespace zortest;

namespace {
CZipFileIndexObject* Item(CNode* n) { return static_cast<CZipFileIndexObject*>(n->GetData()); }
CShortcut* Shortcut(CNode* n) { return static_cast<CShortcut*>(n->GetData()); }
}  // namespace

TEST(DefaultBox, OneTemplateForTheProcess) { EXPECT_EQ(&GetDefaultBox(), &GetDefaultBox()); }

TEST(DefaultBox, TablesComeFromTheDefaultFolderBesideTheProgram) {
  zor::TestHost host;
  host.modulePath = L"C:\\Tools\\Builder\\builder.exe";
  host.AddDirectory(L"C:\\Tools\\Builder\\default");
  host.AddFile(L"C:\\Tools\\Builder\\default\\string.ini", "[CString]\r\n8001=Change the window size\r\n");
  host.AddFile(L"C:\\Tools\\Builder\\default\\bitmap.ini", "[Bitmap]\r\n8001=a.bmp\r\n");
  zor::ScopedHost scope(&host);
  CDefaultBox box;
  EXPECT_EQ(box.GetStringFile(), L"C:\\Tools\\Builder\\default\\string.ini");
  EXPECT_EQ(box.GetBitmapFile(), L"C:\\Tools\\Builder\\default\\bitmap.ini");
  EXPECT_EQ(box.GetStringTable().FindString(8001), L"Change the window size");
  EXPECT_EQ(box.GetStringTable().GetLanguage(), 1033u);
  ASSERT_EQ(box.GetBitmapTable().GetEntries().GetCount(), 1u);
  EXPECT_EQ(box.GetBitmapTable().GetEntries().GetHead()->GetSourcePath(), L"C:\\Tools\\Builder\\Default\\a.bmp");
}

TEST(DefaultBox, FileTreeHasSixNodesAndStoresFolderRecordsOnlyForSystemFolders) {
  CExtractFileList group;
  EXPECT_EQ(MakeDefaultFileTree(nullptr), 0);
  ASSERT_EQ(MakeDefaultFileTree(&group), 1);
  CNode* root = group.GetTree().GetRoot();
  ASSERT_EQ(root->GetChildCount(), 3);
  CNode* pf = root->GetChild(0);
  CNode* company = pf->GetChild(0);
  CNode* product = company->GetChild(0);
  struct Row {
    CNode* node;
    const wchar_t* name;
    int predefined, folderId, destination;
  };
  const Row rows[] = {
      {root, L"Destination Computer", 1, -1, 0},  {pf, L"[ProgramFilesFolder]", 1, 38, 0},
      {company, L"Tarvex", 0, -1, 0},             {product, L"MyProduct", 0, -1, 1},
      {root->GetChild(1), L"[SystemFolder]", 1, 37, 0}, {root->GetChild(2), L"[WindowsFolder]", 1, 36, 0},
  };
  for (const Row& r : rows) {
    CZipFileIndexObject* item = Item(r.node);
    EXPECT_EQ(item->GetName(), r.name);
    EXPECT_EQ(item->GetFolderFlag(), 1) << r.name;
    EXPECT_EQ(item->GetPredefinedFlag(), r.predefined) << r.name;
    EXPECT_EQ(item->GetPredefinedFolder().GetFolderId(), r.folderId) << r.name;
    EXPECT_EQ(item->GetDestinationFlag(), r.destination) << r.name;
    EXPECT_EQ(item->GetOffset(), -1);
    EXPECT_EQ(item->GetPackedSize(), 0);
  }
  EXPECT_EQ(product->GetChildCount(), 0);

  // Stored: a node with a folder record is two strings, six ints, a string
  // and an int; a plain folder stops after the six ints.
  Bytes stored = StoreRecord(group.GetTree());
  Bytes plainTarvex = Cat({B({0x01, 0x80}), Str(L""), Str(L"Tarvex"), Int(0), Int(-1), Int(0), Int(1), Int(0), Int(0),
                           Int(1)});
  EXPECT_NE(std::search(stored.begin(), stored.end(), plainTarvex.begin(), plainTarvex.end()), stored.end());
  Bytes system = Cat({B({0x01, 0x80}), Str(L""), Str(L"[SystemFolder]"), Int(0), Int(-1), Int(0), Int(1), Int(1),
                      Int(0), Str(L"[SystemFolder]"), Int(37), Int(0)});
  EXPECT_NE(std::search(stored.begin(), stored.end(), system.begin(), system.end()), stored.end());
}

TEST(DefaultBox, ShortcutTreeShape) {
  const CShortCutTable& table = GetDefaultBox().GetShortCutTable();
  EXPECT_EQ(table.GetName(), L"English Shortcut Table");
  CNode* root = table.GetTree().GetRoot();
  ASSERT_EQ(root->GetChildCount(), 4);
  EXPECT_EQ(Shortcut(root)->GetName(), L"Shortcuts");
  EXPECT_EQ(Shortcut(root)->GetPredefinedFlag(), 1);
  EXPECT_EQ(Shortcut(root)->GetFolderFlag(), 1);
  EXPECT_EQ(Shortcut(root)->GetPredefinedFolder().GetFolderId(), -1);
  struct Row {
    CNode* node;
    const wchar_t* name;
    int id;
    const wchar_t* page;
    uint32_t third;
  };
  CNode* start = root->GetChild(3);
  ASSERT_EQ(start->GetChildCount(), 2);
  const Row rows[] = {
      {root->GetChild(0), L"[CommonDesktopFolder]", 25, L"Shortcutdesk.html", 0},
      {root->GetChild(1), L"[ControlPanelFolder]", 3, L"ShortcutControl.html", 0},
      {root->GetChild(2), L"[QuickLuanchFolder]", 0x80C8, L"ShortcutQuick.html", 0},
      {start, L"[CommonStartMenuFolder]", 22, L"ShortcutStart.html", 1},
      {start->GetChild(0), L"[CommonProgramsMenuFolder]", 23, L"ShortcutPro.html", 1},
      {start->GetChild(1), L"[CommonStartupFolder]", 24, L"ShortcutStartUp.html", 1},
  };
  for (const Row& r : rows) {
    CShortcut* s = Shortcut(r.node);
    EXPECT_EQ(s->GetName(), r.name);
    EXPECT_EQ(s->GetPredefinedFolder().GetFolderId(), r.id) << r.name;
    EXPECT_EQ(s->GetPage(), r.page);
    EXPECT_EQ(s->GetThirdFlag(), r.third) << r.name;
    EXPECT_EQ(s->GetFolderFlag(), 1);
  }
}

TEST(DefaultBox, OsVerifySelectorTail) {
  const COSSelect& os = GetDefaultBox().GetOSSelect();
  EXPECT_EQ(os.GetName(), L"OS Verify");
  Bytes stored = StoreRecord(os);
  Bytes tail = Cat({Int(2), B({0x02, 0x50, 0x01, 0x00, 0x01, 0x50, 0x01, 0x00})});
  ASSERT_GE(stored.size(), tail.size());
  EXPECT_EQ(Bytes(stored.end() - static_cast<long>(tail.size()), stored.end()), tail);
  ASSERT_EQ(GetDefaultBox().GetComponentList().size(), 1u);
  EXPECT_EQ(GetDefaultBox().GetComponentList()[0], &os);
}

TEST(DefaultBox, FillProjectGivesTheProjectItsOwnRecords) {
  EXPECT_EQ(FillProject(nullptr), 0);
  CInstallProject project;
  ASSERT_EQ(FillProject(&project), 1);
  const CDefaultBox& box = GetDefaultBox();
  EXPECT_EQ(project.GetComponentCount(), 1);
  EXPECT_EQ(project.GetStringTableCount(), 1);
  EXPECT_EQ(project.GetBitmapTableCount(), 1);
  EXPECT_EQ(project.GetRegistryTableCount(), 1);
  EXPECT_EQ(project.GetShortCutTableCount(), 1);
  EXPECT_EQ(project.GetFileGroupCount(), 1);
  EXPECT_EQ(project.GetSteps().GetCount(), 0u);

  // Copies, not the template's own objects, and equal in stored form.
  CInstallCompent* component = project.GetComponents().GetHead();
  EXPECT_NE(component, &box.GetComponent());
  EXPECT_EQ(StoreRecord(*component), StoreRecord(box.GetComponent()));
  EXPECT_EQ(component->GetSteps().GetCount(), 9u);
  EXPECT_EQ(component->GetStringTable(), project.GetStringTables().GetHead());
  EXPECT_EQ(component->GetBitmapTable(), project.GetBitmapTables().GetHead());
  EXPECT_EQ(StoreRecord(*project.GetFileGroups().GetHead()), StoreRecord(box.GetFileGroup()));
  EXPECT_EQ(project.GetRegistryTables().GetHead()->GetName(), L"Englisth Registry Table");

  // Editing the project's copy leaves the template alone.
  project.GetFileGroups().GetHead()->SetName(L"Changed");
  EXPECT_EQ(box.GetFileGroup().GetName(), L"English File Groups");

  EXPECT_EQ(project.GetProjectInfo()->GetProjectName(), L"My Project");
  EXPECT_EQ(project.GetProjectInfo()->GetAuthor(), L"MyName");
  EXPECT_EQ(project.GetProjectInfo()->GetDefaultLanguage(), 1033);
  EXPECT_EQ(project.GetProjectInfo()->GetBasePath(), L"c:");
  EXPECT_EQ(project.GetProjectInfo()->GetBuildLogPath(), L"c:\\buildlog.log");
  EXPECT_EQ(project.GetProductInfo()->GetVersion(), L"Ver2006.2.0.0708");
  EXPECT_EQ(project.GetProductInfo()->GetDefaultInstallFolder(), L"[ProgramFile]\\Tarvex\\MyProduct");
  EXPECT_EQ(project.GetAuthorInfo()->GetAddress(), L"Road 5,NewYork");
}
