#include "model/string_table.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/bitmap_table.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/round_trip.h"

using namespace zortest;

namespace {

using Entries = std::vector<std::pair<int, std::wstring>>;

Entries EntriesOf(const CStringTable& t) {
  Entries out;
  for (const CIDString* e : t.GetEntries()) out.emplace_back(e->GetId(), e->GetText());
  return out;
}

Entries EntriesOf(const CBitmapTable& t) {
  Entries out;
  for (const CIDBitmap* e : t.GetEntries()) out.emplace_back(e->GetId(), e->GetSourcePath());
  return out;
}

// Usable lines and the forms that are skipped, in a file that also holds the
// other table's section.
const char kIni[] =
    "[Bitmap]\r\n"
    "1=not a text\r\n"
    "[CString]\r\n"
    "8001=Change the window size\r\n"
    "8000=\r\n"
    "a=b=c\r\n"
    "123456789=nine-character key\r\n"
    "1234567890=ten-character key\r\n"
    "no equals sign\r\n"
    "-1=no identifier\r\n"
    "  +42 = padded\r\n"
    "12abc=digits first\r\n";

const Entries kIniEntries = {
    {8001, L"Change the window size"}, {8000, L""}, {0, L"b=c"}, {123456789, L"nine-character key"},
    {-1, L"no identifier"},           {42, L"padded"}, {12, L"digits first"},
};

}  // namespace

TEST(StringTable, FreshTableStoredForm) {
  CStringTable t;
  EXPECT_EQ(StoreRecord(t), B({0xFF, 0xFE, 0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(StringTable, StoresCachedCountAndEveryEntryInFull) {
  CStringTable t;
  t.SetName(L"English String");
  t.SetLanguage(1033);
  t.GetEntries().AddTail(new CIDString(8001, 1, L"Hi"));
  t.GetEntries().AddTail(new CIDString(-1, 0, L"x"));
  // The count is stored as last refreshed, not as the list's length.
  Bytes entries = Cat({Word(2), ClassRecord("CIDString"), Int(8001), Int(1), Str(L"Hi"), B({0x01, 0x80}), Int(-1),
                       Int(0), Str(L"x")});
  EXPECT_EQ(StoreRecord(t), Cat({Str(L"English String"), Int(1033), Int(0), entries}));
  EXPECT_EQ(t.GetCount(), 2);
  EXPECT_EQ(StoreRecord(t), Cat({Str(L"English String"), Int(1033), Int(2), entries}));

  auto back = RoundTrip(t);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetLanguage(), 1033u);
  EXPECT_EQ(back->GetCachedCount(), 2);
  EXPECT_EQ(EntriesOf(*back), (Entries{{8001, L"Hi"}, {-1, L"x"}}));
}

TEST(StringTable, ValidatedAdd) {
  struct Case {
    int id, tag;
    const wchar_t* text;
    int result;
  };
  const Case cases[] = {{-1, 1, L"x", 0}, {5, 0, L"x", 0}, {5, 1, L"", 0}, {5, 1, L"x", 1}};
  for (const Case& c : cases) {
    CStringTable t;
    auto* entry = new CIDString(c.id, c.tag, c.text);
    EXPECT_EQ(t.AddString(entry), c.result) << c.id << " " << c.tag;
    EXPECT_EQ(t.GetCount(), c.result);
    if (!c.result) delete entry;  // refused: the caller keeps it
  }
  CStringTable t;
  EXPECT_EQ(t.AddString(nullptr), 0);
}

TEST(StringTable, FindTakesTheFirstMatchAndClearEmpties) {
  CStringTable t;
  t.GetEntries().AddTail(new CIDString(7, 0, L"first"));
  t.GetEntries().AddTail(new CIDString(7, 0, L"second"));
  EXPECT_EQ(t.FindString(7), L"first");
  EXPECT_EQ(t.FindString(5), L"");
  t.GetCount();
  EXPECT_EQ(t.Clear(), 1);
  EXPECT_EQ(t.GetCachedCount(), 0);
  EXPECT_TRUE(t.GetEntries().IsEmpty());
}

TEST(StringTable, LoadsTheCStringSectionAfterExistingEntries) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\p\\English.ini", kIni);
  CStringTable t;
  t.GetEntries().AddTail(new CIDString(1, 1, L"kept"));
  ASSERT_EQ(t.LoadFromIniFile(L"C:\\p\\English.ini"), 1);
  Entries want = {{1, L"kept"}};
  want.insert(want.end(), kIniEntries.begin(), kIniEntries.end());
  EXPECT_EQ(EntriesOf(t), want);
  for (const CIDString* e : t.GetEntries())
    if (e->GetId() != 1) {
      EXPECT_EQ(e->GetTag(), 0);
    }
  // What the file loader makes stores and reads back, including id -1.
  EXPECT_TRUE(RoundTrip(t));
}

TEST(StringTable, LoadsUtf16Files) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  std::string bytes = "\xFF\xFE";
  for (char16_t c : std::u16string(u"[CString]\r\n7=\u00E9t\u00E9\r\n")) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  host.AddFile(L"C:\\u.ini", bytes);
  CStringTable t;
  ASSERT_EQ(t.LoadFromIniFile(L"C:\\u.ini"), 1);
  EXPECT_EQ(EntriesOf(t), (Entries{{7, L"\u00E9t\u00E9"}}));
}

TEST(StringTable, UnreadableFilesLeaveTheTableUnchanged) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\locked.ini", kIni);
  host.lockedFiles.insert(zor::TestHost::Normalize(L"C:\\locked.ini"));
  host.AddFile(L"C:\\empty.ini", "");
  for (const wchar_t* path : {L"", L"C:\\missing.ini", L"C:\\locked.ini"}) {
    CStringTable t;
    t.GetEntries().AddTail(new CIDString(1, 1, L"kept"));
    EXPECT_EQ(t.LoadFromIniFile(path), 0) << path;
    EXPECT_EQ(EntriesOf(t), (Entries{{1, L"kept"}})) << path;
  }
  CStringTable t;
  EXPECT_EQ(t.LoadFromIniFile(L"C:\\empty.ini"), 1);
  EXPECT_TRUE(t.GetEntries().IsEmpty());
}

TEST(BitmapTable, LoadsPathsBesideTheRunningProgram) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\p\\bitmaps.ini", "[CString]\n1=text\n[Bitmap]\n8001=a.bmp\n8002=\nlong_key_10=x.bmp\nbare\n");
  struct Case {
    const wchar_t* module;
    Entries want;
  };
  const Case cases[] = {
      {L"C:\\Setup\\setup.exe", {{8001, L"C:\\Setup\\Default\\a.bmp"}, {8002, L"C:\\Setup\\Default\\"}}},
      {L"D:\\x\\y\\s.exe", {{8001, L"D:\\x\\y\\Default\\a.bmp"}, {8002, L"D:\\x\\y\\Default\\"}}},
  };
  for (const Case& c : cases) {
    host.modulePath = c.module;
    CBitmapTable t;
    ASSERT_EQ(t.LoadFromIniFile(L"C:\\p\\bitmaps.ini"), 1);
    EXPECT_EQ(EntriesOf(t), c.want) << c.module;  // the pictures are not looked for
  }
  CBitmapTable t;
  EXPECT_EQ(t.LoadFromIniFile(L"C:\\p\\none.ini"), 0);
  EXPECT_TRUE(t.GetEntries().IsEmpty());
}

TEST(BitmapTable, ValidatedAddCopiesAnEntryWhosePictureExists) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddFile(L"C:\\pic\\a.bmp", "BM");
  CIDBitmap bmp;
  bmp.SetId(3);
  CBitmapTable t;
  EXPECT_EQ(t.AddBitmap(bmp), 0);  // no picture
  bmp.SetSourcePath(L"C:\\pic\\gone.bmp");
  EXPECT_EQ(t.AddBitmap(bmp), 0);
  bmp.SetSourcePath(L"C:\\pic\\a.bmp");
  bmp.SetSourcePath(L"");  // ignored
  EXPECT_EQ(bmp.GetSourcePath(), L"C:\\pic\\a.bmp");
  bmp.SetId(-1);
  EXPECT_EQ(t.AddBitmap(bmp), 0);
  bmp.SetId(3);
  EXPECT_EQ(t.AddBitmap(bmp), 1);
  bmp.SetId(4);
  ASSERT_NE(t.FindBitmap(3), nullptr);
  EXPECT_EQ(t.FindBitmap(3)->GetSourcePath(), L"C:\\pic\\a.bmp");
  EXPECT_EQ(t.FindBitmap(4), nullptr);
  EXPECT_EQ(t.GetCount(), 1);
  EXPECT_EQ(t.Clear(), 1);
  EXPECT_EQ(t.GetCachedCount(), 0);
}

TEST(BitmapTable, StoredFormEmbedsThePictureEntry) {
  CBitmapTable t;
  t.SetName(L"English Bitmap");
  auto* bmp = new CIDBitmap;
  bmp->SetId(8001);
  bmp->SetSourcePath(L"C:\\Setup\\Default\\a.bmp");
  t.GetEntries().AddTail(bmp);
  t.GetEntries().AddTail(new CIDBitmap);
  Bytes want = Cat({Str(L"English Bitmap"), Int(0), Word(2), ClassRecord("CIDBitmap"), Int(8001),
                    StoreRecord(bmp->GetPicture()), B({0x01, 0x80}), Int(-1), StoreRecord(CZipFileIndexObject())});
  EXPECT_EQ(StoreRecord(t), want);
  auto back = RoundTrip(t);
  ASSERT_TRUE(back);
  EXPECT_EQ(EntriesOf(*back), (Entries{{8001, L"C:\\Setup\\Default\\a.bmp"}, {-1, L""}}));
}
