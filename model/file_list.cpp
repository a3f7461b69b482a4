#include "model/file_list.h"

IMPLEMENT_SERIAL(CZipFileIndexObject, CFileObject, 0)
IMPLEMENT_SERIAL(CExtractFileList, CFileObject, 0)

void CZipFileIndexObject::SetPredefinedFolder(const CPreDefineFolder* folder) {
  if (!folder) return;
  m_folder.SetName(folder->GetName());
  m_folder.SetFolderId(folder->GetFolderId());
  m_strName = folder->GetName();
}

std::wstring CZipFileIndexObject::GetTargetName() const {
  return m_nPredefinedFlag ? m_folder.ResolvePath() : m_strName;
}

bool CZipFileIndexObject::SourceExists() const { return FileExists(m_strSourcePath); }

void CZipFileIndexObject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strSourcePath);
  ar.Exchange(m_strName);
  // Packed size precedes offset in the stored form.
  ar.Exchange(m_nPackedSize);
  ar.Exchange(m_nOffset);
  ar.Exchange(m_nReservedField);
  ar.Exchange(m_nFolderFlag);
  ar.Exchange(m_nPredefinedFlag);
  ar.Exchange(m_nDestinationFlag);
  if (m_nPredefinedFlag) {
    m_folder.Serialize(ar);
  } else if (ar.IsLoading()) {
    // Whatever the record held before, a node stored without its folder has
    // none.
    m_folder = CPreDefineFolder();
  }
}

CExtractFileList::CExtractFileList() {
  // A group's tree holds file entries only; an archive that puts any other
  // record there is refused.
  m_tree.SetDataClass(RUNTIME_CLASS(CZipFileIndexObject));
}

CExtractFileList::~CExtractFileList() { RemoveAllFiles(); }

int CExtractFileList::AddFile(const CZipFileIndexObject& file) {
  if (!file.SourceExists()) return 0;
  m_files.AddTail(new CZipFileIndexObject(file));
  return 1;
}

int CExtractFileList::RemoveFileAt(int index) {
  if (index < 0) return 0;
  return m_files.DeleteAt(static_cast<size_t>(index)) ? 1 : 0;
}

int CExtractFileList::RemoveFile(const CZipFileIndexObject& file) {
  for (CZipFileIndexObject* entry : m_files)
    if (entry->IsSameSource(file)) return m_files.Delete(entry) ? 1 : 0;
  return 0;
}

int CExtractFileList::RemoveAllFiles() {
  if (m_files.IsEmpty()) return 0;
  m_files.RemoveAll();
  return 1;
}

void CExtractFileList::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_nReservedField);
  m_tree.Serialize(ar);
}
