// CShortCutTable, the shortcut folders of a project as a tree, and CShortcut,
// one node of it.
#pragma once

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"

class CShortcut : public CFileObject {
  DECLARE_SERIAL(CShortcut)
 public:
  CShortcut() = default;

  // Not stored.
  const std::wstring& GetLabel() const { return m_strLabel; }
  void SetLabel(std::wstring label) { m_strLabel = std::move(label); }
  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  const std::wstring& GetFirstText() const { return m_strText1; }
  void SetFirstText(std::wstring text) { m_strText1 = std::move(text); }
  const std::wstring& GetSecondText() const { return m_strText2; }
  void SetSecondText(std::wstring text) { m_strText2 = std::move(text); }
  const std::wstring& GetThirdText() const { return m_strText3; }
  void SetThirdText(std::wstring text) { m_strText3 = std::move(text); }
  const std::wstring& GetFourthText() const { return m_strText4; }
  void SetFourthText(std::wstring text) { m_strText4 = std::move(text); }
  // File name of the help page that describes the node.
  const std::wstring& GetPage() const { return m_strPage; }
  void SetPage(std::wstring page) { m_strPage = std::move(page); }

  int32_t GetFolderFlag() const { return m_nFolderFlag; }
  void SetFolderFlag(int32_t flag) { m_nFolderFlag = flag; }
  // A predefined node is always a folder: a non-zero flag also sets the
  // folder flag; zero leaves it as it was.
  int32_t GetPredefinedFlag() const { return m_nPredefinedFlag; }
  void SetPredefinedFlag(int32_t flag);
  uint32_t GetThirdFlag() const { return m_dwThirdFlag; }
  void SetThirdFlag(uint32_t flag) { m_dwThirdFlag = flag; }

  // Copies the folder's keyword and id and names the node after the folder;
  // null changes nothing.
  void SetPredefinedFolder(const CPreDefineFolder* folder);
  const CPreDefineFolder& GetPredefinedFolder() const { return m_folder; }
  const std::wstring& GetPredefinedFolderName() const { return m_folder.GetName(); }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strLabel;
  std::wstring m_strName;
  std::wstring m_strText1;
  std::wstring m_strText2;
  std::wstring m_strText3;
  std::wstring m_strText4;
  int32_t m_nFolderFlag = 0;
  int32_t m_nPredefinedFlag = 0;
  CPreDefineFolder m_folder;
  uint32_t m_dwThirdFlag = 0;
  std::wstring m_strPage;
};

class CShortCutTable : public CFileObject {
  DECLARE_SERIAL(CShortCutTable)
 public:
  CShortCutTable();

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  int32_t GetReservedField() const { return m_nReservedField; }
  void SetReservedField(int32_t value) { m_nReservedField = value; }

  // A flat list for editing; not stored.
  CTypedPtrList<CShortcut>& GetWorkingList() { return m_list; }
  const CTypedPtrList<CShortcut>& GetWorkingList() const { return m_list; }
  CObTree& GetTree() { return m_tree; }
  const CObTree& GetTree() const { return m_tree; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  int32_t m_nReservedField = 0;
  CTypedPtrList<CShortcut> m_list;
  CObTree m_tree;
};
