// The template a new project is filled from: one default set of records with
// placeholder values, made on first request and kept for the process.
#pragma once

#include <string>
#include <vector>

#include "model/bitmap_table.h"
#include "model/component.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "model/registry.h"
#include "model/selectors.h"
#include "model/shortcut.h"
#include "model/string_table.h"

class CDefaultBox {
 public:
  CDefaultBox();
  CDefaultBox(const CDefaultBox&) = delete;
  CDefaultBox& operator=(const CDefaultBox&) = delete;

  const std::wstring& GetStringFile() const { return m_strStringFile; }
  const std::wstring& GetBitmapFile() const { return m_strBitmapFile; }
  const CStringTable& GetStringTable() const { return m_stringTable; }
  const CBitmapTable& GetBitmapTable() const { return m_bitmapTable; }
  const CInsallProjectInfo& GetProjectInfo() const { return m_projectInfo; }
  const CInstallProductInfo& GetProductInfo() const { return m_productInfo; }
  const CInstallAuthorInfo& GetAuthorInfo() const { return m_authorInfo; }
  const std::vector<CStreamObject*>& GetComponentList() const { return m_componentList; }
  const CInstallCompent& GetComponent() const { return m_component; }
  const CShortCutTable& GetShortCutTable() const { return m_shortCutTable; }
  const CRegistryTable& GetRegistryTable() const { return m_registryTable; }
  const CExtractFileList& GetFileGroup() const { return m_fileGroup; }
  const COSSelect& GetOSSelect() const { return m_osSelect; }

  // Gives `project` its own copies of the template's bitmap table, file group,
  // registry table, shortcut table, component and string table, and the
  // template's author, product and project values. 0 for a null project.
  int FillProject(CInstallProject* project) const;

 private:
  void MakeDefaultShortcutTree();

  std::wstring m_strStringFile;
  std::wstring m_strBitmapFile;
  CStringTable m_stringTable;
  CBitmapTable m_bitmapTable;
  CInsallProjectInfo m_projectInfo;
  CInstallProductInfo m_productInfo;
  CInstallAuthorInfo m_authorInfo;
  std::vector<CStreamObject*> m_componentList;  // not owned: the selector below
  CInstallCompent m_component;
  CShortCutTable m_shortCutTable;
  CRegistryTable m_registryTable;
  CExtractFileList m_fileGroup;
  COSSelect m_osSelect;
};

// The one template, made on the first call.
CDefaultBox& GetDefaultBox();

int FillProject(CInstallProject* project);

// Builds the default folder tree (from new records) as the group's tree;
// 0 for a null group.
int MakeDefaultFileTree(CExtractFileList* group);
