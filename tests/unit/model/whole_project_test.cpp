// A project holding a record of every stored class goes through the archive
// unchanged, and every way an index can be damaged ends in a clean failure.
#include <gtest/gtest.h>

#include "model/default_box.h"
#include "model/condition.h"
#include "model/prelang.h"
#include "model/stream_object.h"
#include "tests/unit/model/round_trip.h"

using namespace zortest;

namespace {

void FillEverything(CInstallProject& project) {
  FillProject(&project);
  project.SetNote(L"note \u00e9\u4e2d");
  project.GetProjectInfo()->AddLanguage(CPreLang(L"English (United States)", 0x409));
  project.GetProductInfo()->SetInstallRoot(CPreDefineFolder(L"[ProgramFilesFolder]", 38));

  auto* component = new CInstallCompent;
  component->SetName(L"Everything");
  component->SetFirstText(L"one");
  CStreamObject* markers[] = {new CStreamObject,   new CSplashDlgObject,  new CIntroDLgObject, new CDirSelectDlgObject,
                              new CExtractDlgObject, new CFinishDlgObject, new CDllObject,      new CExeObject};
  for (CStreamObject* step : markers) component->AddStep(step);
  auto* admin = new CAdminSelect;
  admin->SetCheckEnabled(0);
  component->AddStep(admin);
  auto* os = new COSSelect;
  os->AddCode(0x15003);
  component->AddStep(os);
  auto* lang = new CLangSelect;
  lang->AddLang(0x407);
  component->AddStep(lang);
  auto* autoSel = new CAutoSelect;
  auto* condition = new CInstallCondition;
  condition->SetText(L"xp");
  condition->SetOsCode(0x15002);
  condition->SetLanguage(CPreLang(L"German", 0x407));
  autoSel->AddCondition(condition);
  component->AddStep(autoSel);
  project.AddComponent(component);

  CStringTable* strings = project.GetStringTables().GetHead();
  auto* s = new CIDString;
  s->SetId(8001);
  s->SetTag(1);
  s->SetText(L"Change the window size");
  strings->AddString(s);
  auto* unnamed = new CIDString;  // identifier -1: stored in full
  unnamed->SetText(L"no id");
  strings->GetEntries().AddTail(unnamed);

  CIDBitmap bitmap;
  bitmap.SetId(8001);
  bitmap.SetSourcePath(L"C:\\pics\\a.bmp");
  project.GetBitmapTables().GetHead()->GetEntries().AddTail(new CIDBitmap(bitmap));

  auto* value = new CRegistryValue;
  value->SetKeyPath(L"SOFTWARE\\Tarvex");
  value->SetValueName(L"Lang");
  value->SetValueType(4);
  uint32_t one = 1;
  value->SetData(&one, 4);
  project.GetRegistryTables().GetHead()->AddValue(value);

  CExtractFileList* group = project.GetFileGroups().GetHead();
  CNode* product = group->GetTree().GetRoot()->GetChild(0)->GetChild(0)->GetChild(0);
  auto* file = new CZipFileIndexObject;
  file->SetName(L"Lumaglimpse.exe");
  file->SetSourcePath(L"C:\\build\\Lumaglimpse.exe");
  file->SetOffset(37093376);
  file->SetPackedSize(5163);
  auto* node = new CNode;
  node->SetData(file);
  product->AddChild(node);
}

Bytes StoreProject(CInstallProject& p) { return StoreRecord(p); }

}  // namespace

TEST(WholeProject, EveryStoredClassRoundTripsToIdenticalBytes) {
  CInstallProject project;
  FillEverything(project);
  Bytes first = StoreProject(project);
  CInstallProject loaded;
  uint64_t left = 1;
  ASSERT_EQ(Load(first,
                 [&](CArchive& ar) {
                   loaded.Serialize(ar);
                   left = ar.Remaining();
                 }),
            CArchiveException::none);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(StoreProject(loaded), first);

  // Every class that an index can name appears in it.
  std::string text(first.begin(), first.end());
  for (const CRuntimeClass* const* c = CRuntimeClass::Registry(); *c; ++c) {
    std::string name = (*c)->m_lpszClassName;
    bool neverAnObject = name == "CInstallProject" || name == "CInsallProjectInfo" ||
                         name == "CInstallAuthorInfo" || name == "CInstallProductInfo" ||
                         name == "CInstallComponentMap" || name == "CObTree" || name == "CNode" ||
                         name == "CFileObject" || name == "CInstallConditionTable" ||
                         name == "CPreDefineFolder" || name == "CRegistryFile";
    EXPECT_EQ(text.find(name) != std::string::npos, !neverAnObject) << name;
  }
  EXPECT_EQ(loaded.GetNote(), L"note \u00e9\u4e2d");
}

TEST(WholeProject, EveryTruncationFailsWithEndOfFile) {
  CInstallProject project;
  FillEverything(project);
  Bytes full = StoreProject(project);
  for (size_t cut = 0; cut < full.size(); cut += 7) {
    Bytes part(full.begin(), full.begin() + static_cast<long>(cut));
    CInstallProject loaded;
    EXPECT_EQ(Load(part, [&](CArchive& ar) { loaded.Serialize(ar); }), CArchiveException::endOfFile) << cut;
  }
}

TEST(WholeProject, RegistryTableCount) {
  // The registry names every class of the model exactly once.
  int n = 0;
  for (const CRuntimeClass* const* c = CRuntimeClass::Registry(); *c; ++c) {
    ++n;
    EXPECT_EQ(CRuntimeClass::FromName((*c)->m_lpszClassName), *c);
  }
  EXPECT_EQ(n, 36);
}

TEST(WholeProject, ComponentsNestedWithoutEndAreRefused) {
  // A component whose only step is a component, again and again: the list
  // count, then the class record once and back-references after it.
  Bytes nested;
  Bytes component = Cat({Str(L""), Int(1), Int(0), Str(L""), Str(L""), Int(0), Word(1)});
  nested = Cat({ClassRecord("CInstallCompent"), component});
  for (int i = 0; i < 5000; ++i) {
    nested.push_back(0x01);
    nested.push_back(0x80);
    nested.insert(nested.end(), component.begin(), component.end());
  }
  EXPECT_EQ(Load(Cat({Word(1), nested}),
                 [&](CArchive& ar) {
                   CTypedPtrList<CStreamObject> steps;
                   steps.Serialize(ar);
                 }),
            CArchiveException::generic);
}
