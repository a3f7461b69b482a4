#include "model/file_list.h"

#include <gtest/gtest.h>

#include "model/shortcut.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/round_trip.h"

using namespace zortest;

namespace {

CZipFileIndexObject File(const wchar_t* source, const wchar_t* name) {
  CZipFileIndexObject f;
  f.SetSourcePath(source);
  f.SetName(name);
  return f;
}

CZipFileIndexObject Predefined(const wchar_t* keyword, int id) {
  CZipFileIndexObject f;
  CPreDefineFolder folder(keyword, id);
  f.SetPredefinedFolder(&folder);
  f.SetPredefinedFlag(1);
  f.SetFolderFlag(1);
  return f;
}

}  // namespace

TEST(ZipFileIndexObject, StoredForms) {
  CZipFileIndexObject packed = File(L"c:\\b\\app.exe", L"app.exe");
  packed.SetPackedSize(7);
  packed.SetOffset(100);
  packed.SetDestinationFlag(1);
  struct Case {
    const char* what;
    CZipFileIndexObject rec;
    Bytes want;
  };
  const Case cases[] = {
      {"new object: packed size 0 before offset -1", CZipFileIndexObject(),
       Cat({Str(L""), Str(L""), Int(0), Int(-1), Int(0), Int(0), Int(0), Int(0)})},
      {"file: two strings and six integers, nothing more", packed,
       Cat({Str(L"c:\\b\\app.exe"), Str(L"app.exe"), Int(7), Int(100), Int(0), Int(0), Int(0), Int(1)})},
      {"predefined: followed by the folder's string and int", Predefined(L"[SystemFolder]", 37),
       Cat({Str(L""), Str(L"[SystemFolder]"), Int(0), Int(-1), Int(0), Int(1), Int(1), Int(0),
            Str(L"[SystemFolder]"), Int(37)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoreRecord(c.rec), c.want) << c.what;
    auto back = RoundTrip(c.rec);
    ASSERT_TRUE(back) << c.what;
    EXPECT_EQ(back->GetPredefinedFolder().GetFolderId(), c.rec.GetPredefinedFolder().GetFolderId()) << c.what;
  }
}

TEST(ZipFileIndexObject, LoadingWithoutFlagResetsTheFolder) {
  CZipFileIndexObject rec = Predefined(L"[WindowsFolder]", 36);
  Bytes plain = StoreRecord(File(L"s", L"n"));
  ASSERT_EQ(Load(plain, [&](CArchive& ar) { rec.Serialize(ar); }), CArchiveException::none);
  EXPECT_EQ(rec.GetPredefinedFlag(), 0);
  EXPECT_EQ(rec.GetPredefinedFolderName(), L"");
  EXPECT_EQ(rec.GetPredefinedFolder().GetFolderId(), -1);
  EXPECT_EQ(rec.GetName(), L"n");
}

TEST(ZipFileIndexObject, CopyKeepsEveryMemberIncludingTheFolder) {
  CZipFileIndexObject a = Predefined(L"[ProgramFilesFolder]", 38);
  a.SetSourcePath(L"src");
  a.SetOffset(9);
  a.SetPackedSize(8);
  a.SetDestinationFlag(1);
  a.SetReservedField(5);
  CZipFileIndexObject b(a);
  CZipFileIndexObject c;
  c = a;
  for (const CZipFileIndexObject* copy : {&b, &c}) {
    EXPECT_EQ(StoreRecord(*copy), StoreRecord(a));
    EXPECT_EQ(copy->GetPredefinedFolder().GetFolderId(), 38);
  }
}

TEST(ZipFileIndexObject, TargetNameAndSource) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.specialFolders[38] = L"C:\\Program Files";
  host.AddFile(L"C:\\build\\a.dll", "x");

  CZipFileIndexObject pf = Predefined(L"[ProgramFilesFolder]", 38);
  EXPECT_EQ(pf.GetName(), L"[ProgramFilesFolder]");
  EXPECT_EQ(pf.GetTargetName(), L"C:\\Program Files");
  pf.SetPredefinedFolder(nullptr);
  EXPECT_EQ(pf.GetPredefinedFolderName(), L"[ProgramFilesFolder]");
  pf.SetPredefinedFlag(0);
  EXPECT_EQ(pf.GetTargetName(), L"[ProgramFilesFolder]");
  // A predefined node the machine does not know resolves to nothing.
  EXPECT_EQ(Predefined(L"[FontsFolder]", 20).GetTargetName(), L"");

  CZipFileIndexObject f = File(L"C:\\build\\a.dll", L"a.dll");
  EXPECT_TRUE(f.SourceExists());
  EXPECT_FALSE(File(L"C:\\build\\missing.dll", L"").SourceExists());
  EXPECT_FALSE(File(L"", L"").SourceExists());
  EXPECT_TRUE(f.IsSameSource(File(L"C:\\build\\a.dll", L"other")));
  EXPECT_FALSE(f.IsSameSource(File(L"c:\\build\\a.dll", L"a.dll")));  // case counts
}

TEST(ExtractFileList, FlatListEditing) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\b\\1.txt", "1");
  host.AddFile(L"C:\\b\\2.txt", "2");
  CExtractFileList group;

  EXPECT_EQ(group.AddFile(File(L"C:\\b\\missing.txt", L"m")), 0);
  CZipFileIndexObject one = File(L"C:\\b\\1.txt", L"first");
  EXPECT_EQ(group.AddFile(one), 1);
  EXPECT_EQ(group.AddFile(File(L"C:\\b\\2.txt", L"two")), 1);
  EXPECT_EQ(group.AddFile(File(L"C:\\b\\1.txt", L"again")), 1);
  one.SetName(L"changed");  // the list holds its own copy
  ASSERT_EQ(group.GetFiles().GetCount(), 3u);
  EXPECT_EQ(group.GetFiles().GetAt(0)->GetName(), L"first");

  EXPECT_EQ(group.RemoveFileAt(-1), 0);
  EXPECT_EQ(group.RemoveFileAt(3), 0);
  EXPECT_EQ(group.RemoveFile(File(L"C:\\b\\none.txt", L"")), 0);
  EXPECT_EQ(group.RemoveFile(File(L"C:\\b\\1.txt", L"")), 1);  // the first of the two
  ASSERT_EQ(group.GetFiles().GetCount(), 2u);
  EXPECT_EQ(group.GetFiles().GetAt(1)->GetName(), L"again");
  EXPECT_EQ(group.RemoveFileAt(0), 1);
  EXPECT_EQ(group.GetFiles().GetAt(0)->GetName(), L"again");
  EXPECT_EQ(group.RemoveAllFiles(), 1);
  EXPECT_EQ(group.RemoveAllFiles(), 0);
  EXPECT_TRUE(group.GetFiles().IsEmpty());
}

TEST(ExtractFileList, StoresNameReservedAndTreeButNotTheFlatList) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\b\\1.txt", "1");
  CExtractFileList group;
  group.SetName(L"English");
  ASSERT_EQ(group.AddFile(File(L"C:\\b\\1.txt", L"1.txt")), 1);
  auto* root = new CNode;
  root->SetData(new CZipFileIndexObject(Predefined(L"[ProgramFilesFolder]", 38)));
  auto* leaf = new CNode;
  leaf->SetData(new CZipFileIndexObject(File(L"C:\\b\\1.txt", L"1.txt")));
  root->AddChild(leaf);
  group.GetTree().SetRoot(root);

  Bytes want = Cat({Str(L"English"), Int(0), ClassRecord("CZipFileIndexObject"),
                    StoreRecord(Predefined(L"[ProgramFilesFolder]", 38)), Int(1), B({0x01, 0x80}),
                    StoreRecord(File(L"C:\\b\\1.txt", L"1.txt")), Int(0)});
  EXPECT_EQ(StoreRecord(group), want);

  auto back = RoundTrip(group);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetName(), L"English");
  EXPECT_TRUE(back->GetFiles().IsEmpty());
  ASSERT_NE(back->GetTree().GetRoot(), nullptr);
  ASSERT_EQ(back->GetTree().GetRoot()->GetChildCount(), 1);
  auto* file = DynamicDowncast<CZipFileIndexObject>(back->GetTree().GetRoot()->GetChild(0)->GetData());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetSourcePath(), L"C:\\b\\1.txt");
}

TEST(ExtractFileList, TreeRefusesOtherRecords) {
  // A group whose tree node carries a shortcut instead of a file entry.
  Bytes bytes = Cat({Str(L"g"), Int(0), ClassRecord("CShortcut"), StoreRecord(CShortcut()), Int(0)});
  CExtractFileList group;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { group.Serialize(ar); }), CArchiveException::badClass);
}
