// Selectors and the operating-system code, run against the test host.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "model/os_code.h"
#include "model/selectors.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"

using namespace zortest;

namespace {

const Bytes kDefaultStep = Cat({Str(L""), Int(1), Int(0)});

zor::OsVersion Version(uint32_t platform, uint32_t major, uint32_t minor) {
  zor::OsVersion v;
  v.platformId = platform;
  v.major = major;
  v.minor = minor;
  return v;
}

}  // namespace

TEST(OsCode, VersionTable) {
  struct Case {
    uint32_t platform, major, minor, code;
  };
  const Case cases[] = {
      {1, 4, 0, 0x4000},   {1, 4, 10, 0x4010},  {1, 4, 90, 0x4090},  {1, 4, 5, 0},
      {1, 5, 0, 0},        {2, 5, 2, 0x15003},  {2, 5, 1, 0x15002},  {2, 5, 0, 0x15001},
      {2, 4, 0, 0x14000},  {2, 3, 51, 0x14000}, {2, 5, 3, 0},        {2, 6, 0, 0},
      {2, 10, 0, 0},       {0, 5, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
    EXPECT_EQ(OsCodeOf(Version(c.platform, c.major, c.minor)), c.code);
  }
}

TEST(OsCode, ExtendedFormFirstThenBasicThenZero) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.versionEx = Version(2, 5, 1);
  host.versionBasic = Version(2, 5, 0);
  EXPECT_EQ(CurrentOsCode(), 0x15002u);
  host.versionEx.reset();
  EXPECT_EQ(CurrentOsCode(), 0x15001u);
  host.versionBasic.reset();
  EXPECT_EQ(CurrentOsCode(), 0u);
}

TEST(AdminSelect, FreshStoredForm) {
  CAdminSelect admin;
  EXPECT_EQ(StoreRecord(admin),
            Cat({kDefaultStep, Int(1), Str(L"Error"), Str(L"You do not have administrator priviledge.")}));
}

TEST(AdminSelect, RunThroughTheHost) {
  struct Case {
    bool administrator;
    int check;
    int result;
  };
  const Case cases[] = {{true, 1, 0}, {false, 1, 2}, {false, 0, 0}, {true, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.administrator << " " << c.check);
    zor::TestHost host;
    zor::ScopedHost scope(&host);
    if (c.administrator) host.devices.insert(L"\\\\.\\PHYSICALDRIVE0");
    CAdminSelect admin;
    admin.SetCheckEnabled(c.check);
    EXPECT_EQ(admin.Run(), c.result);
    if (c.result == 0) {
      EXPECT_TRUE(host.messages.empty());
      continue;
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, L"You do not have administrator priviledge.");
    EXPECT_EQ(host.messages[0].caption, L"Error");
    EXPECT_EQ(host.messages[0].flags, zor::kMbOk | zor::kMbIconInformation);
  }
}

TEST(OSSelect, OsVerifyStoredForm) {
  COSSelect os;
  os.SetName(L"OS Verify");
  EXPECT_EQ(os.AddCode(0x15002), 1);
  EXPECT_EQ(os.AddCode(0x15001), 1);
  EXPECT_EQ(StoreRecord(os), Cat({Str(L"OS Verify"), Int(1), Int(0), Str(L"Not support %s operating system"),
                                  Str(L"Error"), B({2, 0, 0, 0, 0x02, 0x50, 0x01, 0x00, 0x01, 0x50, 0x01, 0x00})}));
}

TEST(OSSelect, CodeListOperations) {
  COSSelect os;
  os.AddCode(5);
  os.AddCode(7);
  os.AddCode(5);
  EXPECT_EQ(os.RemoveCode(9), 0);
  EXPECT_EQ(os.RemoveCode(5), 1);
  EXPECT_EQ(os.GetCodes(), (std::vector<uint32_t>{7, 5}));
  EXPECT_EQ(os.GetCodeCount(), 2);
  os.Clear();
  EXPECT_EQ(os.GetCodeCount(), 0);
}

TEST(OSSelect, RunOnEachSystem) {
  using V = std::optional<zor::OsVersion>;
  const std::vector<uint32_t> xpAnd2000 = {0x15002, 0x15001};
  struct Case {
    const char* what;
    V ex, basic;
    std::vector<uint32_t> accepted;
    int result;
  };
  const Case cases[] = {
      {"XP", Version(2, 5, 1), Version(2, 5, 1), xpAnd2000, 0},
      {"2000", Version(2, 5, 0), Version(2, 5, 0), xpAnd2000, 0},
      {"Vista has code 0", Version(2, 6, 0), Version(2, 6, 0), xpAnd2000, 2},
      {"NT 4", Version(2, 4, 0), Version(2, 4, 0), xpAnd2000, 2},
      {"NT 4 accepted", Version(2, 4, 0), Version(2, 4, 0), {0x14000}, 0},
      {"98", Version(1, 4, 10), Version(1, 4, 10), {0x4010}, 0},
      {"98 against NT 4", Version(1, 4, 10), Version(1, 4, 10), {0x14000}, 2},
      {"extended form fails", std::nullopt, Version(2, 5, 0), xpAnd2000, 0},
      {"no version at all", std::nullopt, std::nullopt, xpAnd2000, 2},
      {"no version, 0 accepted", std::nullopt, std::nullopt, {0}, 0},
      {"nothing accepted", Version(2, 5, 1), Version(2, 5, 1), {}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zor::TestHost host;
    zor::ScopedHost scope(&host);
    host.versionEx = c.ex;
    host.versionBasic = c.basic;
    COSSelect os;
    for (uint32_t code : c.accepted) os.AddCode(code);
    EXPECT_EQ(os.Run(), c.result);
    if (c.result == 0) {
      EXPECT_TRUE(host.messages.empty());
      continue;
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, L"Not support %s operating system");
    EXPECT_EQ(host.messages[0].caption, L"Error");
    EXPECT_EQ(host.messages[0].flags, zor::kMbIconInformation);
  }
}

TEST(LangSelect, StoredFormAndRun) {
  CLangSelect lang;
  for (uint32_t id : {0x0409u, 0x0804u, 0x0407u}) EXPECT_EQ(lang.AddLang(id), 1);
  EXPECT_EQ(StoreRecord(lang), Cat({kDefaultStep, Int(3), Int(0x0409), Int(0x0804), Int(0x0407)}));
  EXPECT_EQ(lang.RemoveLang(0x0411), 0);
  EXPECT_EQ(lang.RemoveLang(0x0804), 1);
  EXPECT_EQ(lang.GetLangs(), (std::vector<uint32_t>{0x0409, 0x0407}));
  EXPECT_EQ(lang.Run(), 0);
  lang.Clear();
  EXPECT_EQ(lang.Run(), 0);
}

// Loading appends to what a selector already holds, and the count stored next
// time covers every entry.
TEST(CodeLists, LoadingAppendsAndStoresEveryEntry) {
  COSSelect stored;
  stored.AddCode(1);
  stored.AddCode(2);
  COSSelect os;
  os.AddCode(7);
  ASSERT_EQ(Load(StoreRecord(stored), [&](CArchive& ar) { os.Serialize(ar); }), CArchiveException::none);
  EXPECT_EQ(os.GetCodes(), (std::vector<uint32_t>{7, 1, 2}));
  EXPECT_EQ(os.GetCodeCount(), 3);
  COSSelect again;
  ASSERT_EQ(Load(StoreRecord(os), [&](CArchive& ar) { again.Serialize(ar); }), CArchiveException::none);
  EXPECT_EQ(again.GetCodes(), (std::vector<uint32_t>{7, 1, 2}));

  CLangSelect lang;
  lang.AddLang(0x0409);
  ASSERT_EQ(Load(Cat({kDefaultStep, Int(1), Int(0x0411)}), [&](CArchive& ar) { lang.Serialize(ar); }),
            CArchiveException::none);
  EXPECT_EQ(lang.GetLangs(), (std::vector<uint32_t>{0x0409, 0x0411}));
}

// A count is checked against the bytes that remain before anything is read
// or reserved; the entries held before stay as they were.
TEST(CodeLists, HostileCountsAreRefused) {
  const Bytes osHead = Cat({kDefaultStep, Str(L"m"), Str(L"c")});
  struct Case {
    const char* what;
    Bytes tail;
  };
  const Case cases[] = {
      {"one code more than present", Cat({Int(3), Int(1), Int(2)})},
      {"huge count", Cat({Int(0x3FFFFFFF), Int(1)})},
      {"count whose bytes overflow 32 bits", Cat({Int(0x40000001), Int(1)})},
      {"negative count", Cat({Int(-1), Int(1)})},
      {"most negative count", Cat({Int(INT32_MIN)})},
      {"count cut short", B({2, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    COSSelect os;
    os.AddCode(9);
    EXPECT_EQ(Load(Cat({osHead, c.tail}), [&](CArchive& ar) { os.Serialize(ar); }), CArchiveException::endOfFile);
    EXPECT_EQ(os.GetCodes(), std::vector<uint32_t>{9});
    CLangSelect lang;
    EXPECT_EQ(Load(Cat({kDefaultStep, c.tail}), [&](CArchive& ar) { lang.Serialize(ar); }),
              CArchiveException::endOfFile);
    EXPECT_EQ(lang.GetLangCount(), 0);
  }
}

TEST(AutoSelect, StoredFormAndOwnership) {
  CAutoSelect autoSel;
  EXPECT_EQ(StoreRecord(autoSel), Cat({kDefaultStep, Word(0)}));
  auto* c = new CInstallCondition;
  c->SetText(L"x");
  c->SetOsCode(0x15002);
  c->SetLanguage(CPreLang(L"Japanese", 0x0411));
  autoSel.AddCondition(nullptr);
  autoSel.AddCondition(c);
  EXPECT_EQ(StoreRecord(autoSel), Cat({kDefaultStep, Word(1), ClassRecord("CInstallCondition"), Str(L"x"),
                                       Int(0x15002), Str(L"Japanese"), Int(0x0411)}));
  CInstallCondition stranger;
  EXPECT_FALSE(autoSel.RemoveCondition(&stranger));
  EXPECT_TRUE(autoSel.RemoveCondition(c));
  EXPECT_TRUE(autoSel.GetTable().GetConditions().IsEmpty());
}

TEST(AutoSelect, RunPicksForThisMachine) {
  struct Case {
    const char* what;
    uint32_t condCode;
    int condLang;  // no condition when -2
    zor::OsVersion version;
    uint16_t langId;
    int result;
  };
  const Case cases[] = {
      {"empty table", 0, -2, Version(2, 5, 1), 0x0409, 2},
      {"any system, any language", 0, 0, Version(2, 6, 1), 0x0411, 0},
      {"same system and language", 0x15002, 0x0409, Version(2, 5, 1), 0x0409, 0},
      {"same primary language", 0x15002, 0x0809, Version(2, 5, 1), 0x0409, 0},
      {"other language", 0x15002, 0x0407, Version(2, 5, 1), 0x0409, 2},
      {"other system", 0x15002, 0, Version(2, 5, 0), 0x0409, 2},
      {"language never set", 0, -1, Version(2, 5, 1), 0x0409, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zor::TestHost host;
    zor::ScopedHost scope(&host);
    host.versionEx = c.version;
    host.langId = c.langId;
    CAutoSelect autoSel;
    if (c.condLang != -2) {
      auto* cond = new CInstallCondition;
      cond->SetText(L"chosen");
      cond->SetOsCode(c.condCode);
      cond->GetLanguage().SetLangId(c.condLang);
      autoSel.AddCondition(cond);
    }
    EXPECT_EQ(autoSel.Run(), c.result);
    EXPECT_TRUE(host.messages.empty());
  }
}
