// The project root and its three descriptive records.
#pragma once

#include <string>

#include "model/archive.h"
#include "model/component.h"
#include "model/file_object.h"
#include "model/predefined_folder.h"

class CPreLang;
class CStreamObject;
class CInstallCompent;
class CStringTable;
class CBitmapTable;
class CExtractFileList;
class CShortCutTable;
class CRegistryTable;

// Describes the project itself.
class CInsallProjectInfo : public CFileObject {
  DECLARE_SERIAL(CInsallProjectInfo)
 public:
  CInsallProjectInfo();
  ~CInsallProjectInfo() override;
  void Serialize(CArchive& ar) override;

  const std::wstring& GetProjectName() const { return m_strProjectName; }
  void SetProjectName(const std::wstring& s) { m_strProjectName = s; }
  const std::wstring& GetAuthor() const { return m_strAuthor; }
  void SetAuthor(const std::wstring& s) { m_strAuthor = s; }
  int GetDefaultLanguage() const { return m_nDefaultLanguage; }
  void SetDefaultLanguage(int lang) { m_nDefaultLanguage = lang; }
  const std::wstring& GetBasePath() const { return m_strBasePath; }
  void SetBasePath(const std::wstring& s) { m_strBasePath = s; }
  const std::wstring& GetBuildLogPath() const { return m_strBuildLogPath; }
  void SetBuildLogPath(const std::wstring& s) { m_strBuildLogPath = s; }

  // Appends a new language with the identifier and name of `lang`; no test
  // for duplicates.
  void AddLanguage(const CPreLang& lang);
  // Takes out and destroys the first language named exactly `name`.
  bool RemoveLanguage(const std::wstring& name);
  const CTypedPtrList<CPreLang>& GetLanguages() const { return m_languages; }

 private:
  std::wstring m_strProjectName;
  std::wstring m_strAuthor;
  int32_t m_nDefaultLanguage = 0;  // not stored
  std::wstring m_strBasePath;
  std::wstring m_strBuildLogPath;
  CTypedPtrList<CPreLang> m_languages;
};

class CInstallAuthorInfo : public CFileObject {
  DECLARE_SERIAL(CInstallAuthorInfo)
 public:
  void Serialize(CArchive& ar) override;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(const std::wstring& s) { m_strName = s; }
  const std::wstring& GetWebSite() const { return m_strWebSite; }
  void SetWebSite(const std::wstring& s) { m_strWebSite = s; }
  const std::wstring& GetAddress() const { return m_strAddress; }
  void SetAddress(const std::wstring& s) { m_strAddress = s; }
  const std::wstring& GetTelephone() const { return m_strTelephone; }
  void SetTelephone(const std::wstring& s) { m_strTelephone = s; }
  const std::wstring& GetEmail() const { return m_strEmail; }
  void SetEmail(const std::wstring& s) { m_strEmail = s; }

 private:
  std::wstring m_strName;
  std::wstring m_strWebSite;
  std::wstring m_strAddress;
  std::wstring m_strTelephone;
  std::wstring m_strEmail;
};

// Describes the installed product.
class CInstallProductInfo : public CFileObject {
  DECLARE_SERIAL(CInstallProductInfo)
 public:
  void Serialize(CArchive& ar) override;

  const std::wstring& GetProductName() const { return m_strProductName; }
  void SetProductName(const std::wstring& s) { m_strProductName = s; }
  const std::wstring& GetVersion() const { return m_strVersion; }
  void SetVersion(const std::wstring& s) { m_strVersion = s; }
  const std::wstring& GetWebSite() const { return m_strWebSite; }
  void SetWebSite(const std::wstring& s) { m_strWebSite = s; }
  const std::wstring& GetEmail() const { return m_strEmail; }
  void SetEmail(const std::wstring& s) { m_strEmail = s; }
  const std::wstring& GetTelephone() const { return m_strTelephone; }
  void SetTelephone(const std::wstring& s) { m_strTelephone = s; }
  const std::wstring& GetCompany() const { return m_strCompany; }
  void SetCompany(const std::wstring& s) { m_strCompany = s; }
  const CPreDefineFolder& GetInstallRoot() const { return m_installRoot; }
  void SetInstallRoot(const CPreDefineFolder& folder);
  const std::wstring& GetDefaultInstallFolder() const { return m_strDefaultInstallFolder; }
  void SetDefaultInstallFolder(const std::wstring& s) { m_strDefaultInstallFolder = s; }
  int GetOptionWord() const { return m_nOptionWord; }
  void SetOptionWord(int v) { m_nOptionWord = v; }
  const std::wstring& GetEnginePath() const { return m_strEnginePath; }
  void SetEnginePath(const std::wstring& s) { m_strEnginePath = s; }
  const std::wstring& GetSecondExePath() const { return m_strSecondExePath; }
  void SetSecondExePath(const std::wstring& s) { m_strSecondExePath = s; }

 private:
  std::wstring m_strProductName;
  std::wstring m_strVersion;
  std::wstring m_strWebSite;
  std::wstring m_strEmail;
  std::wstring m_strTelephone;
  std::wstring m_strCompany;
  CPreDefineFolder m_installRoot;
  std::wstring m_strDefaultInstallFolder;
  int32_t m_nOptionWord = 0;
  std::wstring m_strEnginePath;
  std::wstring m_strSecondExePath;
};

// The root of an installation project; its Serialize is the project index.
class CInstallProject : public CFileObject {
  DECLARE_SERIAL(CInstallProject)
 public:
  CInstallProject();
  ~CInstallProject() override;
  void Serialize(CArchive& ar) override;
  // Reads the length of the step list and reports nothing; kept for its slot.
  virtual int StepCheck();

  CInstallAuthorInfo* GetAuthorInfo() { return &m_authorInfo; }
  CInstallProductInfo* GetProductInfo() { return &m_productInfo; }
  CInsallProjectInfo* GetProjectInfo() { return &m_projectInfo; }
  const std::wstring& GetNote() const { return m_strNote; }
  void SetNote(const std::wstring& s) { m_strNote = s; }

  // Each add takes ownership and returns 1, or returns 0 for null.
  int AddComponent(CInstallCompent* p);
  int AddStringTable(CStringTable* p);
  int AddBitmapTable(CBitmapTable* p);
  int AddRegistryTable(CRegistryTable* p);
  int AddShortCutTable(CShortCutTable* p);
  int AddFileGroup(CExtractFileList* p);
  // Project-level steps are not added by the engine; loading still accepts
  // them.
  int AddStep(CStreamObject* p);

  // Each count refreshes that list's cached count.
  int GetComponentCount();
  int GetStringTableCount();
  int GetBitmapTableCount();
  int GetRegistryTableCount();
  int GetShortCutTableCount();
  int GetFileGroupCount();

  const CTypedPtrList<CStreamObject>& GetSteps() const { return m_steps; }
  const CTypedPtrList<CInstallCompent>& GetComponents() const { return m_components; }
  const CTypedPtrList<CStringTable>& GetStringTables() const { return m_stringTables; }
  const CTypedPtrList<CBitmapTable>& GetBitmapTables() const { return m_bitmapTables; }
  const CTypedPtrList<CExtractFileList>& GetFileGroups() const { return m_fileGroups; }
  const CTypedPtrList<CShortCutTable>& GetShortCutTables() const { return m_shortCutTables; }
  const CTypedPtrList<CRegistryTable>& GetRegistryTables() const { return m_registryTables; }

  // The first file group named exactly `name`, or null.
  CExtractFileList* FindFileGroup(const std::wstring& name) const;

  // Copy the descriptive values of another record (null changes nothing).
  void CopyAuthorInfo(const CInstallAuthorInfo* from);
  void CopyProductInfo(const CInstallProductInfo* from);
  void CopyProjectInfo(const CInsallProjectInfo* from);

  // Destroys the records of every list but the steps.
  void Clear();

 private:
  std::wstring m_strNote;
  CInstallAuthorInfo m_authorInfo;
  CInstallProductInfo m_productInfo;
  CInsallProjectInfo m_projectInfo;
  CInstallComponentMap m_componentMap;  // never stored
  int32_t m_nStepCount = 0;
  CTypedPtrList<CStreamObject> m_steps;
  int32_t m_nComponentCount = 0;
  CTypedPtrList<CInstallCompent> m_components;
  int32_t m_nStringTableCount = 0;
  CTypedPtrList<CStringTable> m_stringTables;
  int32_t m_nBitmapTableCount = 0;
  CTypedPtrList<CBitmapTable> m_bitmapTables;
  int32_t m_nFileGroupCount = 0;
  CTypedPtrList<CExtractFileList> m_fileGroups;
  int32_t m_nShortCutTableCount = 0;
  CTypedPtrList<CShortCutTable> m_shortCutTables;
  int32_t m_nRegistryTableCount = 0;
  CTypedPtrList<CRegistryTable> m_registryTables;
};
