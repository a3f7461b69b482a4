// Projects for the description tests: one that holds every kind of record,
// with members away from their defaults wherever the stored form allows it.
#pragma once

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/bitmap_table.h"
#include "model/component.h"
#include "model/condition.h"
#include "model/default_box.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "model/registry.h"
#include "model/selectors.h"
#include "model/shortcut.h"
#include "model/string_table.h"
#include "tests/unit/model/bytes.h"

namespace zortest {

inline Bytes StoreProject(const CInstallProject& p) { return StoreRecord(p); }

inline CNode* NodeWith(CObject* data) {
  auto* node = new CNode;
  node->SetData(data);
  return node;
}

inline CZipFileIndexObject* FileItem(const std::wstring& name, const std::wstring& source) {
  auto* item = new CZipFileIndexObject;
  item->SetName(name);
  item->SetSourcePath(source);
  return item;
}

inline CStreamObject* Named(CStreamObject* step, const std::wstring& name, int enabled, int type) {
  step->SetName(name);
  step->SetEnabled(enabled);
  step->SetType(type);
  return step;
}

// Every step class once, selectors with their lists filled.
inline std::vector<std::unique_ptr<CStreamObject>> EveryStep() {
  CStreamObject* steps[] = {
      Named(new CStreamObject, L"plain", 0, 2),         Named(new CSplashDlgObject, L"splash", 1, 1),
      Named(new CIntroDLgObject, L"intro", 7, 3),       Named(new CDirSelectDlgObject, L"dir", 1, 7),
      Named(new CExtractDlgObject, L"extract", 1, 8),   Named(new CFinishDlgObject, L"finish", 0, 10),
      Named(new CDllObject, L"dll", 1, -4),             Named(new CExeObject, L"", 1, 0),
  };
  std::vector<std::unique_ptr<CStreamObject>> out(std::begin(steps), std::end(steps));
  auto* admin = new CAdminSelect;
  admin->SetCheckEnabled(0);
  admin->SetCaption(L"Rights");
  out.emplace_back(admin);
  auto* os = new COSSelect;
  os->AddCode(0x15002);
  os->AddCode(0xFFFFFFFFu);
  os->SetMessageText(L"");
  out.emplace_back(os);
  auto* lang = new CLangSelect;
  lang->AddLang(0x407);
  lang->AddLang(0x409);
  out.emplace_back(lang);
  auto* autoSel = new CAutoSelect;
  const struct {
    const wchar_t* text;
    uint32_t os;
    CPreLang lang;
  } conditions[] = {
      {L"xp german", 0x15002, CPreLang(L"German (Standard) ", 0x407)},  // a row of the built-in list
      {L"any", 0, CPreLang(L"", 0)},                                   // any language
      {L"odd", 1, CPreLang(L"Klingon", 0x7777)},                       // not in the list
      {L"unset", 0, CPreLang()},                                       // the record's default
      {L"renamed", 0, CPreLang(L"Deutsch", 0x407)},                    // listed id, other name
  };
  for (const auto& c : conditions) {
    auto* condition = new CInstallCondition;
    condition->SetText(c.text);
    condition->SetOsCode(c.os);
    condition->SetLanguage(c.lang);
    autoSel->AddCondition(condition);
  }
  out.emplace_back(autoSel);
  auto* nested = new CInstallCompent;
  nested->SetName(L"nested component");
  nested->SetSecondText(L"two");
  nested->AddStep(Named(new CSplashDlgObject, L"inner", 1, 1));
  out.emplace_back(nested);
  return out;
}

inline CRegistryValue* RegValue(const std::wstring& name, uint32_t type, const Bytes& data) {
  auto* v = new CRegistryValue;
  v->SetKeyPath(L"SOFTWARE\\Tarvex\\Lumaglimpse");
  v->SetValueName(name);
  v->SetValueType(type);
  v->SetData(data);
  return v;
}

// A project with a record of every kind and odd values; no project-level
// steps, which only an archive can give (see WithProjectSteps).
inline void FillEveryRecord(CInstallProject& project) {
  FillProject(&project);
  std::wstring note = L"note \u00e9\u4e2d \U0001F600 with a ";
  note += L'\0';
  note += L" zero inside";
  project.SetNote(note);
  CInsallProjectInfo* info = project.GetProjectInfo();
  info->AddLanguage(CPreLang(L"English (United States)", 0x409));
  info->AddLanguage(CPreLang(L"Made up", 0x1234));
  project.GetProductInfo()->SetInstallRoot(CPreDefineFolder(L"[ProgramFilesFolder]", 38));
  project.GetProductInfo()->SetOptionWord(-7);
  project.GetProductInfo()->SetEnginePath(L"C:\\engine\\setup.exe");
  project.GetProductInfo()->SetSecondExePath(L"second.exe");

  auto* component = new CInstallCompent;
  component->SetName(L"Everything");
  component->SetFirstText(L"one");
  component->SetExtraWord(42);
  component->SetEnabled(0);
  component->SetType(5);
  for (auto& step : EveryStep()) component->AddStep(step.release());
  project.AddComponent(component);
  project.AddComponent(new CInstallCompent);  // every member at its default

  CStringTable* strings = project.GetStringTables().GetHead();
  strings->GetEntries().AddTail(new CIDString(8001, 1, L"Change the window size"));
  strings->GetEntries().AddTail(new CIDString(-1, 0, L"no id"));
  strings->GetEntries().AddTail(new CIDString(8000, 0, L""));
  strings->SetCachedCount(2);  // stored as it is, whatever the entries

  CBitmapTable* bitmaps = project.GetBitmapTables().GetHead();
  CIDBitmap bitmap;
  bitmap.SetId(8001);
  bitmap.SetSourcePath(L"C:\\pics\\a.bmp");
  bitmaps->GetEntries().AddTail(new CIDBitmap(bitmap));
  CIDBitmap named;
  named.SetId(8002);
  named.GetPicture().SetName(L"b.bmp");
  named.GetPicture().SetSourcePath(L"C:\\pics\\b.bmp");
  bitmaps->GetEntries().AddTail(new CIDBitmap(named));
  bitmaps->GetEntries().AddTail(new CIDBitmap);
  auto* empty = new CBitmapTable;
  empty->SetCachedCount(-3);
  project.AddBitmapTable(empty);

  CRegistryTable* registry = project.GetRegistryTables().GetHead();
  const uint8_t sz[] = {'1', 0, '.', 0, '0', 0, 0, 0};
  registry->AddValue(RegValue(L"Version", 1, Bytes(sz, sz + sizeof sz)));
  registry->AddValue(RegValue(L"Path", 2, Cat({B({'%', 0, 'P', 0, '%', 0}), B({0, 0})})));
  registry->AddValue(RegValue(L"List", 7, B({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})));
  registry->AddValue(RegValue(L"EmptyList", 7, B({0, 0})));
  registry->AddValue(RegValue(L"Lang", 4, B({9, 4, 0, 0})));
  registry->AddValue(RegValue(L"Big", 5, B({0, 0, 1, 2})));
  registry->AddValue(RegValue(L"Q", 11, B({1, 2, 3, 4, 5, 6, 7, 0x80})));
  registry->AddValue(RegValue(L"Blob", 3, B({0, 0xFF, 0x10})));
  registry->AddValue(RegValue(L"Unterminated", 1, B({'a', 0})));      // REG_SZ without its zero
  registry->AddValue(RegValue(L"Two texts", 1, B({'a', 0, 0, 0, 'b', 0, 0, 0})));
  registry->AddValue(RegValue(L"Short dword", 4, B({1, 2, 3})));
  registry->AddValue(RegValue(L"Lone surrogate", 1, B({0x00, 0xD8, 0, 0})));
  registry->AddValue(RegValue(L"Odd type", 0x1234, B({5})));
  registry->AddValue(RegValue(L"No data", 1, Bytes()));
  CRegistryValue* removed = RegValue(L"Old", 4, B({0, 0, 0, 0}));
  removed->SetDeleteFlag(1);
  removed->SetSecondFlag(-2);
  registry->AddValue(removed);
  project.AddRegistryTable(new CRegistryTable);

  // Shortcuts: every kind of node, odd flags included.
  CShortCutTable* shortcuts = project.GetShortCutTables().GetHead();
  shortcuts->SetReservedField(9);
  CNode* root = shortcuts->GetTree().GetRoot();
  auto* link = new CShortcut;
  link->SetName(L"Lumaglimpse");
  link->SetFirstText(L"C:\\Program Files\\Tarvex\\Lumaglimpse\\Lumaglimpse.exe");
  link->SetSecondText(L"-x");
  link->SetThirdText(L"3");
  link->SetFourthText(L"4");
  root->GetChild(3)->AddChild(NodeWith(link));
  auto* plainFolder = new CShortcut;
  plainFolder->SetName(L"Tools");
  plainFolder->SetFolderFlag(3);
  CNode* folderNode = NodeWith(plainFolder);
  folderNode->AddChild(NodeWith(nullptr));
  root->AddChild(folderNode);
  auto* oddPredefined = new CShortcut;
  oddPredefined->SetPredefinedFlag(2);
  CPreDefineFolder custom(L"[Mine]", 77);
  oddPredefined->SetPredefinedFolder(&custom);
  oddPredefined->SetName(L"renamed");
  oddPredefined->SetFolderFlag(0);
  root->AddChild(NodeWith(oddPredefined));
  project.AddShortCutTable(new CShortCutTable);  // no root at all

  // Files: plain files, a renamed file, a file with children, odd flags.
  CExtractFileList* group = project.GetFileGroups().GetHead();
  group->SetReservedField(-1);
  CNode* productFolder = group->GetTree().GetRoot()->GetChild(0)->GetChild(0)->GetChild(0);
  productFolder->AddChild(NodeWith(FileItem(L"Lumaglimpse.exe", L"C:\\build\\Lumaglimpse.exe")));
  productFolder->AddChild(NodeWith(FileItem(L"renamed.dll", L"/home/build/out/lib.dll")));
  productFolder->AddChild(NodeWith(FileItem(L"", L"")));
  CZipFileIndexObject* parentFile = FileItem(L"parent.txt", L"rel/parent.txt");
  parentFile->SetDestinationFlag(1);
  parentFile->SetReservedField(3);
  CNode* parent = NodeWith(parentFile);
  parent->AddChild(NodeWith(FileItem(L"child", L"child")));
  productFolder->AddChild(parent);
  CZipFileIndexObject* gui = FileItem(L"gui", L"C:\\build\\gui");
  gui->SetFolderFlag(5);
  productFolder->AddChild(NodeWith(gui));
  CZipFileIndexObject* oddSystem = new CZipFileIndexObject;
  CPreDefineFolder system(L"[SystemFolder]", 41);  // keyword of another id
  oddSystem->SetPredefinedFlag(-1);
  oddSystem->SetPredefinedFolder(&system);
  oddSystem->SetFolderFlag(0);
  group->GetTree().GetRoot()->AddChild(NodeWith(oddSystem));
  group->GetTree().GetRoot()->AddChild(NodeWith(nullptr));
  auto* second = new CExtractFileList;
  second->SetName(L"Common");
  project.AddFileGroup(second);  // no root at all
}

// `project` stored with `steps` as its project-level steps, and loaded into
// `out`: a project takes such steps only from an archive. Written in the
// project's stored order.
inline void WithProjectSteps(const CInstallProject& project, std::vector<std::unique_ptr<CStreamObject>> steps,
                             CInstallProject* out) {
  CInstallProject& p = const_cast<CInstallProject&>(project);
  CTypedPtrList<CStreamObject> list;
  for (auto& s : steps) list.AddTail(s.release());
  Bytes bytes = Store([&](CArchive& ar) {
    std::wstring note = p.GetNote();
    ar.Exchange(note);
    p.GetProjectInfo()->Serialize(ar);
    p.GetAuthorInfo()->Serialize(ar);
    p.GetProductInfo()->Serialize(ar);
    list.Serialize(ar);
    const_cast<CTypedPtrList<CInstallCompent>&>(p.GetComponents()).Serialize(ar);
    const_cast<CTypedPtrList<CStringTable>&>(p.GetStringTables()).Serialize(ar);
    const_cast<CTypedPtrList<CBitmapTable>&>(p.GetBitmapTables()).Serialize(ar);
    const_cast<CTypedPtrList<CRegistryTable>&>(p.GetRegistryTables()).Serialize(ar);
    const_cast<CTypedPtrList<CShortCutTable>&>(p.GetShortCutTables()).Serialize(ar);
    const_cast<CTypedPtrList<CExtractFileList>&>(p.GetFileGroups()).Serialize(ar);
  });
  MemoryStream in(bytes.data(), bytes.size());
  CArchive ar(&in, CArchive::load);
  out->Serialize(ar);
}

}  // namespace zortest
