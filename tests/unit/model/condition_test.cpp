// Conditions and the built-in folder and language tables.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/condition.h"
#include "model/predefined_folder.h"
#include "model/prelang.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"

using namespace zortest;

namespace {

struct Cond {
  uint32_t code;
  int lang;
  const wchar_t* text;
};

void Fill(CInstallConditionTable& table, const std::vector<Cond>& conds) {
  for (const Cond& c : conds) {
    auto* cond = new CInstallCondition;
    cond->SetOsCode(c.code);
    cond->GetLanguage().SetLangId(c.lang);
    cond->SetText(c.text);
    table.AddCondition(cond);
  }
}

constexpr uint32_t kXp = 0x15002;

}  // namespace

TEST(ConditionTable, Choice) {
  struct Case {
    const char* what;
    std::vector<Cond> conds;
    uint32_t code;
    uint32_t lang;
    const wchar_t* want;
  };
  const Case cases[] = {
      {"empty table", {}, kXp, 0x0409, L""},
      {"exact language beats an earlier same-primary one", {{0, 0x0809, L"uk"}, {0, 0x0409, L"us"}}, kXp, 0x0409,
       L"us"},
      {"same primary beats any language", {{0, 0, L"any"}, {0, 0x0809, L"uk"}}, kXp, 0x0C09, L"uk"},
      {"any language as the last resort", {{0, 0x0407, L"de"}, {0, 0, L"any"}}, kXp, 0x0C09, L"any"},
      {"unrelated language only", {{0, 0x0407, L"de"}}, kXp, 0x0409, L""},
      {"language never set", {{0, -1, L"unset"}}, kXp, 0x0409, L""},
      {"never set, even when the low bits agree", {{0, -1, L"unset"}}, kXp, 0xFFFF, L""},
      {"never set, next to a fitting one", {{0, -1, L"unset"}, {0, 0, L"any"}}, kXp, 0x0409, L"any"},
      {"any system and language fits XP", {{0, 0, L"all"}}, kXp, 0x0409, L"all"},
      {"any system and language fits code 0", {{0, 0, L"all"}}, 0, 0x0804, L"all"},
      {"on code 0 only code-0 conditions count", {{kXp, 0x0409, L"xp"}, {0, 0, L"any"}}, 0, 0x0409, L"any"},
      {"on code 0 a system-bound one alone fails", {{kXp, 0, L"xp"}}, 0, 0x0409, L""},
      {"other system", {{0x15001, 0x0409, L"2000"}}, kXp, 0x0409, L""},
      {"exact system and code 0 rank alike", {{0, 0x0409, L"any os"}, {kXp, 0x0409, L"xp"}}, kXp, 0x0409,
       L"any os"},
      {"list order breaks ties", {{kXp, 0, L"first"}, {kXp, 0, L"second"}}, kXp, 0x0409, L"first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CInstallConditionTable table;
    Fill(table, c.conds);
    EXPECT_EQ(table.FindText(c.code, c.lang), c.want);
  }
}

TEST(ConditionTable, ThisMachineUsesOsCodeAndSystemLanguage) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  CInstallConditionTable table;
  Fill(table, {{kXp, 0x0409, L"xp us"}, {kXp, 0x0407, L"xp de"}, {0, 0x0407, L"any de"}});
  host.langId = 0x0407;
  EXPECT_EQ(table.FindTextForThisMachine(), L"xp de");
  zor::OsVersion vista;
  vista.major = 6;
  host.versionEx = vista;
  EXPECT_EQ(table.FindTextForThisMachine(), L"any de");
  host.langId = 0x0411;
  EXPECT_EQ(table.FindTextForThisMachine(), L"");
}

TEST(Condition, CodeIsStoredBeforeTheLanguage) {
  CInstallCondition c;
  EXPECT_EQ(StoreRecord(c), Cat({Str(L""), Int(0), Str(L""), Int(-1)}));
  c.SetText(L"t");
  c.SetOsCode(0x15001);
  c.SetLanguage(CPreLang(L"Thai", 0x041E));
  Bytes bytes = Cat({Str(L"t"), B({0x01, 0x50, 0x01, 0x00}), Str(L"Thai"), Int(0x041E)});
  EXPECT_EQ(StoreRecord(c), bytes);

  CInstallCondition back;
  ASSERT_EQ(Load(bytes, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::none);
  EXPECT_EQ(back.GetText(), L"t");
  EXPECT_EQ(back.GetOsCode(), 0x15001u);
  EXPECT_EQ(back.GetLanguage().GetName(), L"Thai");
  EXPECT_EQ(back.GetLanguage().GetLangId(), 0x041E);
}

TEST(ConditionTable, LoadingAppendsAndKeepsWhatWasReadBeforeAFailure) {
  CInstallConditionTable stored;
  Fill(stored, {{0, 0, L"a"}, {kXp, 0x0409, L"b"}});
  Bytes bytes = StoreRecord(stored);

  CInstallConditionTable table;
  Fill(table, {{0, 0, L"old"}});
  ASSERT_EQ(Load(bytes, [&](CArchive& ar) { table.Serialize(ar); }), CArchiveException::none);
  ASSERT_EQ(table.GetConditions().GetCount(), 3u);
  EXPECT_EQ(table.GetConditions().GetAt(2)->GetText(), L"b");

  bytes.resize(bytes.size() - 2);
  CInstallConditionTable cut;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { cut.Serialize(ar); }), CArchiveException::endOfFile);
  ASSERT_EQ(cut.GetConditions().GetCount(), 1u);
  EXPECT_EQ(cut.GetConditions().GetHead()->GetText(), L"a");
}

TEST(PreLangTable, BuiltInList) {
  std::unique_ptr<CPreLangTable> table = GetPreLangTable();
  ASSERT_EQ(table->GetCount(), 144u);
  EXPECT_EQ(table->GetAt(0)->GetName(), L"Afrikaans");
  EXPECT_EQ(table->GetAt(0)->GetLangId(), 0x0436);
  EXPECT_EQ(table->GetAt(143)->GetName(), L"Welsh (United Kingdom)");
  EXPECT_EQ(table->GetAt(143)->GetLangId(), 0x0452);
  struct Case {
    int id;
    const wchar_t* name;
  };
  const Case cases[] = {
      {0x041C, L"Albanian "},
      {0x200A, L" Spanish (Venezuela)"},
      {0x0456, L"Windows XP: Galician "},
      {0x0440, L"Windows XP: Kyrgyz."},
      {0x0409, L"English (United States)"},
      {0x0809, L"English (United Kingdom) "},
      {0x1C1A, L"Serbian (Cyrillic, Bosnia, and Herzegovina)"},
      {0x046C, L"Sesotho sa Leboa/Northern Sotho (South Africa)"},
  };
  for (const Case& c : cases) {
    const CPreLang* lang = table->FindById(c.id);
    ASSERT_NE(lang, nullptr) << c.id;
    EXPECT_EQ(lang->GetName(), c.name);
  }
  EXPECT_EQ(table->FindById(0), nullptr);
  EXPECT_EQ(table->FindById(-1), nullptr);
  EXPECT_EQ(table->FindById(0x7C04), nullptr);
  std::unique_ptr<CPreLangTable> other = GetPreLangTable();
  EXPECT_NE(other->GetAt(0), table->GetAt(0));
}

TEST(PreLang, StoredForm) {
  CPreLang lang;
  EXPECT_EQ(StoreRecord(lang), Cat({Str(L""), Int(-1)}));
  EXPECT_EQ(StoreRecord(CPreLang(L"Albanian ", 0x041C)), Cat({Str(L"Albanian "), Int(0x041C)}));
}

TEST(PreDefineFolderTable, BuiltInRows) {
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  ASSERT_EQ(table->GetCount(), 28u);
  struct Case {
    size_t row;  // from 1
    const wchar_t* keyword;
    int id;
  };
  const Case rows[] = {
      {1, L"[WindowsFolder]", 36},     {4, L"[ProgramFilesFolder]", 38},
      {17, L"[FaviratesFolder]", 6},   {22, L"[SendToFolder]", 9},
      {25, L"[SendToFolder]", 9},      {26, L"[StartMenuFolder]", 11},
      {28, L"[QuickLuanchFolder]", 0x80C8},
  };
  for (const Case& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(table->GetAt(r.row - 1)->GetName(), r.keyword);
    EXPECT_EQ(table->GetAt(r.row - 1)->GetFolderId(), r.id);
  }
  // Repeated ids find their first row.
  EXPECT_EQ(table->FindById(9), table->GetAt(21));
  EXPECT_EQ(table->FindById(11), table->GetAt(22));
  EXPECT_EQ(table->FindById(0x80C8), table->GetAt(27));
  EXPECT_EQ(table->FindById(5), nullptr);
  EXPECT_NE(GetPreDefineFolderTable()->GetAt(0), table->GetAt(0));
}

TEST(PreDefineFolder, ResolvesThroughTheHost) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.specialFolders[37] = L"C:\\WINDOWS\\system32";
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  EXPECT_EQ(table->FindById(37)->ResolvePath(), L"C:\\WINDOWS\\system32");
  EXPECT_EQ(table->FindById(36)->ResolvePath(), L"");
  const CPreDefineFolder* quick = table->FindById(CPreDefineFolder::kQuickLaunchId);
  EXPECT_EQ(quick->ResolvePath(), L"");
  host.specialFolders[26] = L"C:\\Users\\u\\AppData\\Roaming";
  EXPECT_EQ(quick->ResolvePath(), L"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch");
  EXPECT_EQ(CPreDefineFolder().ResolvePath(), L"");
}
