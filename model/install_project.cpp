#include "model/install_project.h"

#include "model/bitmap_table.h"
#include "model/component.h"
#include "model/file_list.h"
#include "model/prelang.h"
#include "model/registry.h"
#include "model/shortcut.h"
#include "model/stream_object.h"
#include "model/string_table.h"

IMPLEMENT_SERIAL(CInsallProjectInfo, CFileObject, 0)
IMPLEMENT_SERIAL(CInstallAuthorInfo, CFileObject, 0)
IMPLEMENT_SERIAL(CInstallProductInfo, CFileObject, 0)
IMPLEMENT_SERIAL(CInstallProject, CFileObject, 0)

// ---- CInsallProjectInfo

CInsallProjectInfo::CInsallProjectInfo() = default;
CInsallProjectInfo::~CInsallProjectInfo() = default;

void CInsallProjectInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strProjectName);
  ar.Exchange(m_strAuthor);
  ar.Exchange(m_strBasePath);
  ar.Exchange(m_strBuildLogPath);
  m_languages.Serialize(ar);
}

void CInsallProjectInfo::AddLanguage(const CPreLang& lang) {
  m_languages.AddTail(new CPreLang(lang.GetName(), lang.GetLangId()));
}

bool CInsallProjectInfo::RemoveLanguage(const std::wstring& name) {
  for (CPreLang* lang : m_languages)
    if (lang->GetName() == name) return m_languages.Delete(lang);
  return false;
}

// ---- CInstallAuthorInfo

void CInstallAuthorInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_strWebSite);
  ar.Exchange(m_strAddress);
  ar.Exchange(m_strTelephone);
  ar.Exchange(m_strEmail);
}

// ---- CInstallProductInfo

void CInstallProductInfo::SetInstallRoot(const CPreDefineFolder& folder) {
  m_installRoot.SetName(folder.GetName());
  m_installRoot.SetFolderId(folder.GetFolderId());
}

void CInstallProductInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strProductName);
  ar.Exchange(m_strVersion);
  ar.Exchange(m_strWebSite);
  ar.Exchange(m_strEmail);
  ar.Exchange(m_strTelephone);
  ar.Exchange(m_strDefaultInstallFolder);
  ar.Exchange(m_strCompany);
  ar.Exchange(m_strEnginePath);
  ar.Exchange(m_strSecondExePath);
  m_installRoot.Serialize(ar);
  ar.Exchange(m_nOptionWord);
}

// ---- CInstallProject

CInstallProject::CInstallProject() = default;

CInstallProject::~CInstallProject() {
  Clear();
  m_steps.RemoveAll();
}

void CInstallProject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strNote);
  m_projectInfo.Serialize(ar);
  m_authorInfo.Serialize(ar);
  m_productInfo.Serialize(ar);
  m_steps.Serialize(ar);
  m_components.Serialize(ar);
  m_stringTables.Serialize(ar);
  m_bitmapTables.Serialize(ar);
  m_registryTables.Serialize(ar);
  m_shortCutTables.Serialize(ar);
  m_fileGroups.Serialize(ar);
}

int CInstallProject::StepCheck() {
  (void)m_steps.GetCount();
  return 0;
}

namespace {
template <class T>
int AddTo(CTypedPtrList<T>& list, T* p) {
  if (!p) return 0;
  list.AddTail(p);
  return 1;
}

template <class T>
int Refresh(const CTypedPtrList<T>& list, int32_t& cached) {
  cached = static_cast<int32_t>(list.GetCount());
  return cached;
}
}  // namespace

int CInstallProject::AddComponent(CInstallCompent* p) { return AddTo(m_components, p); }
int CInstallProject::AddStringTable(CStringTable* p) { return AddTo(m_stringTables, p); }
int CInstallProject::AddBitmapTable(CBitmapTable* p) { return AddTo(m_bitmapTables, p); }
int CInstallProject::AddRegistryTable(CRegistryTable* p) { return AddTo(m_registryTables, p); }
int CInstallProject::AddShortCutTable(CShortCutTable* p) { return AddTo(m_shortCutTables, p); }
int CInstallProject::AddFileGroup(CExtractFileList* p) { return AddTo(m_fileGroups, p); }

int CInstallProject::AddStep(CStreamObject* p) {
  // The engine makes no project-level steps; the caller keeps `p`.
  (void)p;
  return 0;
}

int CInstallProject::GetComponentCount() { return Refresh(m_components, m_nComponentCount); }
int CInstallProject::GetStringTableCount() { return Refresh(m_stringTables, m_nStringTableCount); }
int CInstallProject::GetBitmapTableCount() { return Refresh(m_bitmapTables, m_nBitmapTableCount); }
int CInstallProject::GetRegistryTableCount() { return Refresh(m_registryTables, m_nRegistryTableCount); }
int CInstallProject::GetShortCutTableCount() { return Refresh(m_shortCutTables, m_nShortCutTableCount); }
int CInstallProject::GetFileGroupCount() { return Refresh(m_fileGroups, m_nFileGroupCount); }

CExtractFileList* CInstallProject::FindFileGroup(const std::wstring& name) const {
  for (CExtractFileList* group : m_fileGroups)
    if (group->GetName() == name) return group;
  return nullptr;
}

void CInstallProject::CopyAuthorInfo(const CInstallAuthorInfo* from) {
  if (from) m_authorInfo = *from;
}

void CInstallProject::CopyProductInfo(const CInstallProductInfo* from) {
  if (!from) return;
  // Everything but the install root folder.
  CPreDefineFolder root = m_productInfo.GetInstallRoot();
  m_productInfo = *from;
  m_productInfo.SetInstallRoot(root);
}

void CInstallProject::CopyProjectInfo(const CInsallProjectInfo* from) {
  if (!from) return;
  m_projectInfo.SetProjectName(from->GetProjectName());
  m_projectInfo.SetAuthor(from->GetAuthor());
  m_projectInfo.SetDefaultLanguage(from->GetDefaultLanguage());
  m_projectInfo.SetBasePath(from->GetBasePath());
  m_projectInfo.SetBuildLogPath(from->GetBuildLogPath());
}

void CInstallProject::Clear() {
  m_components.RemoveAll();
  m_stringTables.RemoveAll();
  m_bitmapTables.RemoveAll();
  m_registryTables.RemoveAll();
  m_shortCutTables.RemoveAll();
  m_fileGroups.RemoveAll();
  m_nStepCount = 0;
  m_nComponentCount = 0;
  m_nStringTableCount = 0;
  m_nBitmapTableCount = 0;
}
