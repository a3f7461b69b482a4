#include "model/install_project.h"

#include <gtest/gtest.h>

#include "model/prelang.h"
#include "model/string_table.h"
#include "tests/unit/model/bytes.h"

using namespace zortest;

TEST(InstallProject, NewProjectStoresAs104Bytes) {
  CInstallProject project;
  Bytes empty = Str(L"");
  Bytes want = empty;                                              // note
  for (int i = 0; i < 4; ++i) want = Cat({want, empty});           // project information strings
  want = Cat({want, Word(0)});                                     // its languages
  for (int i = 0; i < 5; ++i) want = Cat({want, empty});           // author
  for (int i = 0; i < 9; ++i) want = Cat({want, empty});           // product strings
  want = Cat({want, empty, Int(-1), Int(0)});                      // install root, option word
  for (int i = 0; i < 7; ++i) want = Cat({want, Word(0)});         // lists
  Bytes got = StoreRecord(project);
  EXPECT_EQ(got.size(), 104u);
  EXPECT_EQ(got, want);
}

TEST(InstallProject, IndexStartsWithNoteThenProjectName) {
  CInstallProject project;
  project.GetProjectInfo()->SetProjectName(L"My Project");
  Bytes got = StoreRecord(project);
  Bytes want = Cat({B({0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x0A}),
                    B({'M', 0, 'y', 0, ' ', 0, 'P', 0, 'r', 0, 'o', 0, 'j', 0, 'e', 0, 'c', 0, 't', 0})});
  ASSERT_GE(got.size(), want.size());
  EXPECT_EQ(Bytes(got.begin(), got.begin() + static_cast<long>(want.size())), want);
}

TEST(InstallProject, ListsOwnTheirRecordsAndCountsRefreshOnRequest) {
  CInstallProject project;
  EXPECT_EQ(project.AddStringTable(nullptr), 0);
  EXPECT_EQ(project.GetStringTableCount(), 0);
  EXPECT_EQ(project.AddStringTable(new CStringTable), 1);
  EXPECT_EQ(project.GetStringTableCount(), 1);
  EXPECT_EQ(project.AddStep(nullptr), 0);
  EXPECT_EQ(project.StepCheck(), 0);
}

TEST(InstallProject, DefaultLanguageIsNotStored) {
  CInstallProject source;
  source.GetProjectInfo()->SetDefaultLanguage(1033);
  Bytes bytes = StoreRecord(source);
  CInstallProject loaded;
  loaded.GetProjectInfo()->SetDefaultLanguage(7);
  ASSERT_EQ(Load(bytes, [&](CArchive& ar) { loaded.Serialize(ar); }), CArchiveException::none);
  EXPECT_EQ(loaded.GetProjectInfo()->GetDefaultLanguage(), 7);
}

TEST(InstallProject, LanguagesAddAndRemoveByExactName) {
  CInsallProjectInfo info;
  info.AddLanguage(CPreLang(L"English", 0x409));
  info.AddLanguage(CPreLang(L"German", 0x407));
  info.AddLanguage(CPreLang(L"German", 0x807));
  EXPECT_FALSE(info.RemoveLanguage(L"german"));
  EXPECT_EQ(info.GetLanguages().GetCount(), 3u);
  EXPECT_TRUE(info.RemoveLanguage(L"German"));
  ASSERT_EQ(info.GetLanguages().GetCount(), 2u);
  EXPECT_EQ(info.GetLanguages().GetAt(1)->GetLangId(), 0x807);
}

TEST(InstallProject, CopyInfoLeavesInstallRootAndLanguages) {
  CInstallProductInfo product;
  product.SetProductName(L"P");
  product.SetEnginePath(L"e.exe");
  product.SetInstallRoot(CPreDefineFolder(L"[ProgramFilesFolder]", 38));
  CInstallProject project;
  project.CopyProductInfo(&product);
  EXPECT_EQ(project.GetProductInfo()->GetProductName(), L"P");
  EXPECT_EQ(project.GetProductInfo()->GetEnginePath(), L"e.exe");
  EXPECT_EQ(project.GetProductInfo()->GetInstallRoot().GetFolderId(), -1);
  project.CopyProductInfo(nullptr);
  EXPECT_EQ(project.GetProductInfo()->GetProductName(), L"P");
}
