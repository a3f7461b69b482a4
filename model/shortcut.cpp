#include "model/shortcut.h"

IMPLEMENT_SERIAL(CShortcut, CFileObject, 0)
IMPLEMENT_SERIAL(CShortCutTable, CFileObject, 0)

void CShortcut::SetPredefinedFlag(int32_t flag) {
  m_nPredefinedFlag = flag;
  if (flag) m_nFolderFlag = 1;
}

void CShortcut::SetPredefinedFolder(const CPreDefineFolder* folder) {
  if (!folder) return;
  m_folder.SetName(folder->GetName());
  m_folder.SetFolderId(folder->GetFolderId());
  m_strName = folder->GetName();
}

void CShortcut::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_strText1);
  ar.Exchange(m_strText2);
  ar.Exchange(m_strText3);
  ar.Exchange(m_strText4);
  ar.Exchange(m_nFolderFlag);
  ar.Exchange(m_nPredefinedFlag);
  ar.Exchange(m_dwThirdFlag);
  ar.Exchange(m_strPage);
  if (m_nPredefinedFlag) {
    m_folder.Serialize(ar);
  } else if (ar.IsLoading()) {
    m_folder = CPreDefineFolder();
  }
}

CShortCutTable::CShortCutTable() {
  // The tree holds shortcut nodes only; an archive that puts any other record
  // there is refused.
  m_tree.SetDataClass(RUNTIME_CLASS(CShortcut));
}

void CShortCutTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_nReservedField);
  m_tree.Serialize(ar);
}
