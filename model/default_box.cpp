#include "model/default_box.h"

#include "model/clone.h"
#include "model/predefined_folder.h"
#include "model/stream_factory.h"
#include "platform/host.h"

namespace {

constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;
constexpr int kCsidlProgramFiles = 38;
constexpr uint32_t kOsWinXp = 0x15002;
constexpr uint32_t kOsWin2000 = 0x15001;

CNode* FolderNode(const std::wstring& name, int destination) {
  auto* item = new CZipFileIndexObject;
  item->SetName(name);
  item->SetFolderFlag(1);
  item->SetDestinationFlag(destination);
  auto* node = new CNode;
  node->SetData(item);
  return node;
}

CNode* SystemFolderNode(const CPreDefineFolderTable& table, int id) {
  auto* item = new CZipFileIndexObject;
  item->SetFolderFlag(1);
  item->SetPredefinedFlag(1);
  item->SetPredefinedFolder(table.FindById(id));
  auto* node = new CNode;
  node->SetData(item);
  return node;
}

CNode* ShortcutNode(const CPreDefineFolderTable& table, int id, const wchar_t* page, uint32_t thirdFlag) {
  auto* shortcut = new CShortcut;
  shortcut->SetPredefinedFlag(1);
  shortcut->SetPredefinedFolder(table.FindById(id));
  shortcut->SetPage(page);
  shortcut->SetThirdFlag(thirdFlag);
  auto* node = new CNode;
  node->SetData(shortcut);
  return node;
}

}  // namespace

CDefaultBox::CDefaultBox() {
  std::wstring folder = zor::ModuleFolder();
  m_strStringFile = folder + L"default\\string.ini";
  m_strBitmapFile = folder + L"default\\bitmap.ini";

  m_stringTable.SetName(L"English String");
  m_stringTable.SetLanguage(1033);
  m_stringTable.LoadFromIniFile(m_strStringFile);
  m_bitmapTable.SetName(L"English Bitmap");
  m_bitmapTable.LoadFromIniFile(m_strBitmapFile);

  m_projectInfo.SetProjectName(L"My Project");
  m_projectInfo.SetAuthor(L"MyName");
  m_projectInfo.SetDefaultLanguage(1033);
  m_projectInfo.SetBasePath(L"c:");
  m_projectInfo.SetBuildLogPath(L"c:\\buildlog.log");

  m_productInfo.SetProductName(L"MyProduct");
  m_productInfo.SetVersion(L"Ver2006.2.0.0708");
  m_productInfo.SetWebSite(L"http://www.example.com");
  m_productInfo.SetEmail(L"support@example.com");
  m_productInfo.SetTelephone(L"00-000-00000000");
  m_productInfo.SetCompany(L"Tarvex");
  m_productInfo.SetDefaultInstallFolder(L"[ProgramFile]\\Tarvex\\MyProduct");
  m_productInfo.SetOptionWord(0);

  m_authorInfo.SetName(L"MyName");
  m_authorInfo.SetWebSite(L"http://www.example.com");
  m_authorInfo.SetAddress(L"Road 5,NewYork");
  m_authorInfo.SetTelephone(L"00-000-00000000");
  m_authorInfo.SetEmail(L"author@example.com");

  m_component.SetName(L"English component");
  m_component.SetStringTable(&m_stringTable);
  m_component.SetBitmapTable(&m_bitmapTable);
  for (auto& step : GetPreStreamObjectTable()->TakeSteps()) m_component.AddStep(step.release());

  m_shortCutTable.SetName(L"English Shortcut Table");
  MakeDefaultShortcutTree();
  m_registryTable.SetName(L"Englisth Registry Table");
  m_fileGroup.SetName(L"English File Groups");
  MakeDefaultFileTree(&m_fileGroup);

  m_osSelect.SetName(L"OS Verify");
  m_osSelect.AddCode(kOsWinXp);
  m_osSelect.AddCode(kOsWin2000);
  m_componentList.insert(m_componentList.begin(), &m_osSelect);
}

void CDefaultBox::MakeDefaultShortcutTree() {
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  auto* rootItem = new CShortcut;
  rootItem->SetName(L"Shortcuts");
  rootItem->SetPredefinedFlag(1);
  rootItem->SetPage(L"ShortcutIntr.html");
  auto* root = new CNode;
  root->SetData(rootItem);
  root->AddChild(ShortcutNode(*table, 25, L"Shortcutdesk.html", 0));
  root->AddChild(ShortcutNode(*table, 3, L"ShortcutControl.html", 0));
  root->AddChild(ShortcutNode(*table, CPreDefineFolder::kQuickLaunchId, L"ShortcutQuick.html", 0));
  CNode* startMenu = ShortcutNode(*table, 22, L"ShortcutStart.html", 1);
  startMenu->AddChild(ShortcutNode(*table, 23, L"ShortcutPro.html", 1));
  startMenu->AddChild(ShortcutNode(*table, 24, L"ShortcutStartUp.html", 1));
  root->AddChild(startMenu);
  m_shortCutTable.GetTree().SetRoot(root);
}

int CDefaultBox::FillProject(CInstallProject* project) const {
  if (!project) return 0;
  // The project gets copies: a record has one owner, and the template keeps
  // its own for the next project.
  std::unique_ptr<CBitmapTable> bitmaps = CloneRecord(m_bitmapTable);
  std::unique_ptr<CStringTable> strings = CloneRecord(m_stringTable);
  std::unique_ptr<CInstallCompent> component = CloneRecord(m_component);
  component->SetStringTable(strings.get());
  component->SetBitmapTable(bitmaps.get());
  project->AddBitmapTable(bitmaps.release());
  project->AddFileGroup(CloneRecord(m_fileGroup).release());
  project->AddRegistryTable(CloneRecord(m_registryTable).release());
  project->AddShortCutTable(CloneRecord(m_shortCutTable).release());
  project->AddComponent(component.release());
  project->AddStringTable(strings.release());
  project->CopyAuthorInfo(&m_authorInfo);
  project->CopyProductInfo(&m_productInfo);
  project->CopyProjectInfo(&m_projectInfo);
  return 1;
}

CDefaultBox& GetDefaultBox() {
  static CDefaultBox box;
  return box;
}

int FillProject(CInstallProject* project) { return GetDefaultBox().FillProject(project); }

int MakeDefaultFileTree(CExtractFileList* group) {
  if (!group) return 0;
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  CNode* root = FolderNode(L"Destination Computer", 0);
  static_cast<CZipFileIndexObject*>(root->GetData())->SetPredefinedFlag(1);
  CNode* programFiles = SystemFolderNode(*table, kCsidlProgramFiles);
  CNode* company = FolderNode(L"Tarvex", 0);
  company->AddChild(FolderNode(L"MyProduct", 1));
  programFiles->AddChild(company);
  root->AddChild(programFiles);
  root->AddChild(SystemFolderNode(*table, kCsidlSystem));
  root->AddChild(SystemFolderNode(*table, kCsidlWindows));
  group->GetTree().SetRoot(root);
  return 1;
}
