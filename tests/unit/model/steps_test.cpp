// Steps, components and the step factory.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "model/component.h"
#include "model/condition.h"
#include "model/prelang.h"
#include "model/predefined_folder.h"
#include "model/selectors.h"
#include "model/stream_factory.h"
#include "model/stream_object.h"
#include "tests/unit/model/bytes.h"

using namespace zortest;

namespace {

Bytes StepPart(const std::wstring& name, int enabled, int type) { return Cat({Str(name), Int(enabled), Int(type)}); }

Bytes StoreObject(const CObject* obj) {
  return Store([&](CArchive& ar) { ar.WriteObject(obj); });
}

}  // namespace

TEST(StreamObject, DefaultStoredForm) {
  CStreamObject step;
  EXPECT_EQ(StoreRecord(step), B({0xFF, 0xFE, 0xFF, 0x00, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(step.Run(), 2);
  EXPECT_EQ(step.GetStringTable(), nullptr);
  EXPECT_EQ(step.GetBitmapTable(), nullptr);
}

TEST(StreamObject, LinksAreCopiedButNotStored) {
  alignas(8) static char table[8];
  CStreamObject step;
  step.SetName(L"[Splash Dialog]");
  step.SetStringTable(reinterpret_cast<CStringTable*>(table));
  step.SetBitmapTable(reinterpret_cast<CBitmapTable*>(table));
  step.SetType(1);
  CStreamObject copy(step);
  EXPECT_EQ(copy.GetStringTable(), step.GetStringTable());
  EXPECT_EQ(copy.GetBitmapTable(), step.GetBitmapTable());
  Bytes bytes = StoreObject(&step);
  EXPECT_EQ(bytes, Cat({ClassRecord("CStreamObject"), StepPart(L"[Splash Dialog]", 1, 1)}));
  std::unique_ptr<CObject> back;
  ASSERT_EQ(Load(bytes, [&](CArchive& ar) { back.reset(ar.ReadObject()); }), CArchiveException::none);
  auto* loaded = DynamicDowncast<CStreamObject>(back.get());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetStringTable(), nullptr);
  EXPECT_EQ(loaded->GetBitmapTable(), nullptr);
}

// Every record of this family survives store, load and store unchanged, and
// comes back as its own class.
TEST(RoundTrip, EveryClassReloadsAsItselfWithIdenticalBytes) {
  using Maker = std::function<std::unique_ptr<CObject>()>;
  auto named = [](CStreamObject* s) {
    s->SetName(L"[Step]");
    s->SetEnabled(0);
    s->SetType(7);
    return std::unique_ptr<CObject>(s);
  };
  const Maker makers[] = {
      [&] { return named(new CStreamObject); },
      [&] { return named(new CSplashDlgObject); },
      [&] { return named(new CIntroDLgObject); },
      [&] { return named(new CDirSelectDlgObject); },
      [&] { return named(new CExtractDlgObject); },
      [&] { return named(new CFinishDlgObject); },
      [&] { return named(new CDllObject); },
      [&] { return named(new CExeObject); },
      [&] {
        auto* c = new CInstallCompent;
        c->SetName(L"English component");
        c->SetFirstText(L"one");
        c->SetSecondText(L"two");
        c->SetExtraWord(-3);
        for (auto& s : GetPreStreamObjectTable()->TakeSteps()) c->AddStep(s.release());
        c->AddStep(new CAdminSelect);
        return std::unique_ptr<CObject>(c);
      },
      [&] {
        auto* a = new CAdminSelect;
        a->SetCheckEnabled(0);
        a->SetCaption(L"c");
        a->SetMessageText(L"m");
        return named(a);
      },
      [&] {
        auto* o = new COSSelect;
        o->AddCode(0x15002);
        o->AddCode(0x4090);
        return named(o);
      },
      [&] {
        auto* l = new CLangSelect;
        l->AddLang(0x0409);
        return named(l);
      },
      [&] {
        auto* a = new CAutoSelect;
        auto* c = new CInstallCondition;
        c->SetText(L"t");
        c->SetOsCode(0x15001);
        c->SetLanguage(CPreLang(L"German (Standard) ", 0x0407));
        a->AddCondition(c);
        a->AddCondition(new CInstallCondition);
        return named(a);
      },
      [&] { return std::unique_ptr<CObject>(new CPreLang(L" Spanish (Venezuela)", 0x200A)); },
      [&] { return std::unique_ptr<CObject>(new CPreDefineFolder(L"[QuickLuanchFolder]", 0x80C8)); },
  };
  for (const Maker& make : makers) {
    std::unique_ptr<CObject> obj = make();
    SCOPED_TRACE(obj->GetRuntimeClass()->m_lpszClassName);
    Bytes first = StoreObject(obj.get());
    std::unique_ptr<CObject> back;
    ASSERT_EQ(Load(first, [&](CArchive& ar) { back.reset(ar.ReadObject()); }), CArchiveException::none);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetRuntimeClass(), obj->GetRuntimeClass());
    EXPECT_EQ(StoreObject(back.get()), first);
  }
}

TEST(StepFactory, CreateByType) {
  CCustomStreamObjectFactory f;
  EXPECT_EQ(f.Reserved(), 0);
  struct Case {
    int type;
    const CRuntimeClass* cls;  // null: nothing is made
  };
  const Case cases[] = {
      {-1, nullptr},
      {0, nullptr},
      {1, RUNTIME_CLASS(CSplashDlgObject)},
      {2, RUNTIME_CLASS(CStreamObject)},
      {3, RUNTIME_CLASS(CIntroDLgObject)},
      {4, RUNTIME_CLASS(CStreamObject)},
      {5, RUNTIME_CLASS(CStreamObject)},
      {6, RUNTIME_CLASS(CStreamObject)},
      {7, nullptr},  // kept as projects have it: no directory step
      {8, RUNTIME_CLASS(CExtractDlgObject)},
      {9, RUNTIME_CLASS(CFinishDlgObject)},
      {10, RUNTIME_CLASS(CFinishDlgObject)},
      {11, RUNTIME_CLASS(COSSelect)},
      {12, RUNTIME_CLASS(CAdminSelect)},
      {13, RUNTIME_CLASS(CLangSelect)},
      {14, RUNTIME_CLASS(CAutoSelect)},
      {15, nullptr},
      {INT32_MIN, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::unique_ptr<CStreamObject> obj = f.CreateByType(c.type);
    if (!c.cls) {
      EXPECT_EQ(obj, nullptr);
      continue;
    }
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->GetRuntimeClass(), c.cls);
    // Made default: the table, not the factory, names and types a step.
    EXPECT_EQ(obj->GetName(), L"");
    EXPECT_EQ(obj->GetType(), 0);
    EXPECT_EQ(obj->GetEnabled(), 1);
  }
  EXPECT_EQ(f.CreateDirSelectDlg()->GetRuntimeClass(), RUNTIME_CLASS(CDirSelectDlgObject));
  EXPECT_EQ(f.CreateFinishRebootDlg()->GetRuntimeClass(), RUNTIME_CLASS(CFinishDlgObject));
}

TEST(PreStreamObjectTable, NineStepsInFlowOrder) {
  struct Row {
    const wchar_t* name;
    int enabled;
    int type;
    const CRuntimeClass* cls;
  };
  const Row want[] = {
      {L"[Splash Dialog]", 1, 1, RUNTIME_CLASS(CSplashDlgObject)},
      {L"[Introduction Dialog]", 1, 3, RUNTIME_CLASS(CIntroDLgObject)},
      {L"[Information Dialog]", 0, 2, RUNTIME_CLASS(CStreamObject)},
      {L"[License Dialog]", 0, 4, RUNTIME_CLASS(CStreamObject)},
      {L"[Registry Long Dialog]", 0, 5, RUNTIME_CLASS(CStreamObject)},
      {L"[Registry Short Dialog]", 0, 6, RUNTIME_CLASS(CStreamObject)},
      {L"[Progress Dialog]", 1, 8, RUNTIME_CLASS(CExtractDlgObject)},
      {L"[Finish Dialog]", 1, 9, RUNTIME_CLASS(CFinishDlgObject)},
      {L"[Finish Reboot Dialog]", 0, 10, RUNTIME_CLASS(CFinishDlgObject)},
  };
  std::unique_ptr<CPreStreamObjectTable> table = GetPreStreamObjectTable();
  ASSERT_EQ(table->GetCount(), std::size(want));
  size_t i = 0;
  for (const CStreamObject* s : table->GetSteps()) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s->GetName(), want[i].name);
    EXPECT_EQ(s->GetEnabled(), want[i].enabled);
    EXPECT_EQ(s->GetType(), want[i].type);
    EXPECT_EQ(s->GetRuntimeClass(), want[i].cls);
    ++i;
  }
}

TEST(PreStreamObjectTable, EachRequestMakesItsOwnStepsAndHandsThemOver) {
  std::unique_ptr<CPreStreamObjectTable> a = GetPreStreamObjectTable();
  std::unique_ptr<CPreStreamObjectTable> b = GetPreStreamObjectTable();
  std::set<const CStreamObject*> seen;
  for (const CStreamObject* s : a->GetSteps()) seen.insert(s);
  for (const CStreamObject* s : b->GetSteps()) EXPECT_EQ(seen.count(s), 0u);

  const CStreamObject* head = a->GetSteps().GetHead();
  auto taken = a->TakeSteps();
  ASSERT_EQ(taken.size(), 9u);
  EXPECT_EQ(taken.front().get(), head);
  EXPECT_EQ(a->GetCount(), 0u);
  EXPECT_TRUE(a->TakeSteps().empty());
  // `b` is dropped with its steps untaken; the leak checker watches that.
}

TEST(Component, EmptyComponentStoredForm) {
  CInstallCompent c;
  EXPECT_EQ(StoreRecord(c), Cat({StepPart(L"", 1, 0), Str(L""), Str(L""), Int(0), Word(0)}));
  EXPECT_EQ(c.Run(), 2);
}

TEST(Component, AddAndRemoveSteps) {
  CInstallCompent c;
  EXPECT_EQ(c.AddStep(nullptr), 0);
  EXPECT_EQ(c.GetSteps().GetCount(), 0u);
  auto* first = new CSplashDlgObject;
  EXPECT_EQ(c.AddStep(first), 1);
  EXPECT_EQ(c.AddStep(new CFinishDlgObject), 1);
  EXPECT_EQ(c.GetSteps().GetHead(), first);

  CStreamObject stranger;
  EXPECT_EQ(c.RemoveStep(&stranger), 0);
  EXPECT_EQ(c.RemoveStep(first), 1);
  ASSERT_EQ(c.GetSteps().GetCount(), 1u);
  EXPECT_EQ(c.GetSteps().GetHead()->GetRuntimeClass(), RUNTIME_CLASS(CFinishDlgObject));

  c.SetExtraWord(5);
  c.RemoveAllSteps();
  EXPECT_EQ(c.GetSteps().GetCount(), 0u);
  EXPECT_EQ(c.GetExtraWord(), 0);
}

// The product's single component: classes take indices as they first appear,
// so the fourth step refers back to the third step's class.
TEST(Component, DefaultComponentBytesInAList) {
  CTypedPtrList<CInstallCompent> list;
  auto* c = new CInstallCompent;
  c->SetName(L"English component");
  for (auto& s : GetPreStreamObjectTable()->TakeSteps()) c->AddStep(s.release());
  list.AddTail(c);

  Bytes want = Cat({Word(1), ClassRecord("CInstallCompent"), StepPart(L"English component", 1, 0), Str(L""), Str(L""),
                    Int(0), Word(9),
                    ClassRecord("CSplashDlgObject"), StepPart(L"[Splash Dialog]", 1, 1),
                    ClassRecord("CIntroDLgObject"), StepPart(L"[Introduction Dialog]", 1, 3),
                    ClassRecord("CStreamObject"), StepPart(L"[Information Dialog]", 0, 2),
                    B({0x07, 0x80}), StepPart(L"[License Dialog]", 0, 4),
                    B({0x07, 0x80}), StepPart(L"[Registry Long Dialog]", 0, 5),
                    B({0x07, 0x80}), StepPart(L"[Registry Short Dialog]", 0, 6),
                    ClassRecord("CExtractDlgObject"), StepPart(L"[Progress Dialog]", 1, 8),
                    ClassRecord("CFinishDlgObject"), StepPart(L"[Finish Dialog]", 1, 9),
                    B({0x0E, 0x80}), StepPart(L"[Finish Reboot Dialog]", 0, 10)});
  Bytes got = Store([&](CArchive& ar) { list.Serialize(ar); });
  EXPECT_EQ(got, want);

  CTypedPtrList<CInstallCompent> back;
  ASSERT_EQ(Load(got, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::none);
  ASSERT_EQ(back.GetCount(), 1u);
  const CTypedPtrList<CStreamObject>& steps = back.GetHead()->GetSteps();
  ASSERT_EQ(steps.GetCount(), 9u);
  EXPECT_EQ(steps.GetAt(6)->GetRuntimeClass(), RUNTIME_CLASS(CExtractDlgObject));
  EXPECT_EQ(steps.GetAt(8)->GetName(), L"[Finish Reboot Dialog]");
}

TEST(Component, StepsReadBeforeAFailureStay) {
  CInstallCompent c;
  c.AddStep(new CSplashDlgObject);
  c.AddStep(new CIntroDLgObject);
  Bytes bytes = StoreRecord(c);
  bytes.resize(bytes.size() - 3);  // the second step loses its type

  CInstallCompent back;
  back.AddStep(new CExeObject);
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::endOfFile);
  ASSERT_EQ(back.GetSteps().GetCount(), 2u);
  EXPECT_EQ(back.GetSteps().GetAt(0)->GetRuntimeClass(), RUNTIME_CLASS(CExeObject));
  EXPECT_EQ(back.GetSteps().GetAt(1)->GetRuntimeClass(), RUNTIME_CLASS(CSplashDlgObject));
}

TEST(Component, StepOfAnotherFamilyIsRefused) {
  // A folder record where a step belongs.
  Bytes bytes = Cat({StepPart(L"", 1, 0), Str(L""), Str(L""), Int(0), Word(1), ClassRecord("CPreDefineFolder"),
                     Str(L"x"), Int(1)});
  CInstallCompent back;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::badClass);
  EXPECT_EQ(back.GetSteps().GetCount(), 0u);
}
