#include "model/shortcut.h"

#include <gtest/gtest.h>

#include "model/file_list.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/round_trip.h"

using namespace zortest;

namespace {

CShortcut Named(const wchar_t* name) {
  CShortcut s;
  s.SetName(name);
  return s;
}

}  // namespace

TEST(Shortcut, FolderRecordStoredOnlyWithThePredefinedFlag) {
  CShortcut plain = Named(L"Shortcuts");
  plain.SetLabel(L"not stored");
  plain.SetFirstText(L"1");
  plain.SetSecondText(L"2");
  plain.SetThirdText(L"3");
  plain.SetFourthText(L"4");
  plain.SetPage(L"ShortcutIntr.html");
  plain.SetThirdFlag(1);
  Bytes head = Cat({Str(L"Shortcuts"), Str(L"1"), Str(L"2"), Str(L"3"), Str(L"4")});
  EXPECT_EQ(StoreRecord(plain), Cat({head, Int(0), Int(0), Int(1), Str(L"ShortcutIntr.html")}));

  CShortcut predefined;
  CPreDefineFolder folder(L"[StartMenuFolder]", 11);
  predefined.SetPredefinedFolder(&folder);
  predefined.SetPredefinedFlag(1);
  EXPECT_EQ(StoreRecord(predefined), Cat({Str(L"[StartMenuFolder]"), Str(L""), Str(L""), Str(L""), Str(L""), Int(1),
                                          Int(1), Int(0), Str(L""), Str(L"[StartMenuFolder]"), Int(11)}));

  auto back = RoundTrip(predefined);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetName(), L"[StartMenuFolder]");
  EXPECT_EQ(back->GetPredefinedFolderName(), L"[StartMenuFolder]");
  EXPECT_EQ(back->GetPredefinedFolder().GetFolderId(), 11);
  auto plainBack = RoundTrip(plain);
  ASSERT_TRUE(plainBack);
  EXPECT_EQ(plainBack->GetLabel(), L"");
  EXPECT_EQ(plainBack->GetPredefinedFolder().GetFolderId(), -1);
}

TEST(Shortcut, FlagsAndFolderSetters) {
  CShortcut s = Named(L"mine");
  s.SetPredefinedFlag(0);
  EXPECT_EQ(s.GetFolderFlag(), 0);
  s.SetPredefinedFlag(1);
  EXPECT_EQ(s.GetFolderFlag(), 1);
  s.SetPredefinedFlag(0);
  EXPECT_EQ(s.GetFolderFlag(), 1);  // left as it was
  s.SetPredefinedFolder(nullptr);
  EXPECT_EQ(s.GetName(), L"mine");
  EXPECT_EQ(s.GetPredefinedFolderName(), L"");
}

TEST(ShortCutTable, StoresNameReservedAndTreeButNotTheWorkingList) {
  CShortCutTable t;
  t.SetName(L"English Shortcut Table");
  t.GetWorkingList().AddTail(new CShortcut(Named(L"loose")));
  auto* root = new CNode;
  root->SetData(new CShortcut(Named(L"Shortcuts")));
  auto* child = new CNode;
  child->SetData(new CShortcut(Named(L"Programs")));
  root->AddChild(child);
  t.GetTree().SetRoot(root);
  EXPECT_EQ(StoreRecord(t), Cat({Str(L"English Shortcut Table"), Int(0), ClassRecord("CShortcut"),
                                 StoreRecord(Named(L"Shortcuts")), Int(1), B({0x01, 0x80}),
                                 StoreRecord(Named(L"Programs")), Int(0)}));
  auto back = RoundTrip(t);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->GetWorkingList().IsEmpty());
  ASSERT_EQ(back->GetTree().GetRoot()->GetChildCount(), 1);
  auto* loaded = DynamicDowncast<CShortcut>(back->GetTree().GetRoot()->GetChild(0)->GetData());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetName(), L"Programs");
}

TEST(ShortCutTable, TreeRefusesOtherRecords) {
  Bytes bytes = Cat({Str(L"t"), Int(0), ClassRecord("CZipFileIndexObject"), StoreRecord(CZipFileIndexObject()), Int(0)});
  CShortCutTable t;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { t.Serialize(ar); }), CArchiveException::badClass);
}
