// CZipFileIndexObject, one node of a file group's tree, and CExtractFileList,
// a named file group.
#pragma once

#include <string>

#include "model/archive.h"
#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"

// A folder, a predefined system folder or a file of a file group; for a file,
// also where its zlib stream lies in the package.
class CZipFileIndexObject : public CFileObject {
  DECLARE_SERIAL(CZipFileIndexObject)
 public:
  CZipFileIndexObject() = default;
  CZipFileIndexObject(const CZipFileIndexObject&) = default;
  CZipFileIndexObject& operator=(const CZipFileIndexObject&) = default;

  const std::wstring& GetSourcePath() const { return m_strSourcePath; }
  void SetSourcePath(std::wstring path) { m_strSourcePath = std::move(path); }
  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  int32_t GetOffset() const { return m_nOffset; }
  void SetOffset(int32_t offset) { m_nOffset = offset; }
  int32_t GetPackedSize() const { return m_nPackedSize; }
  void SetPackedSize(int32_t size) { m_nPackedSize = size; }
  int32_t GetFolderFlag() const { return m_nFolderFlag; }
  void SetFolderFlag(int32_t flag) { m_nFolderFlag = flag; }
  // The record's own reserved field (stored), not CFileObject's.
  int32_t GetReservedField() const { return m_nReservedField; }
  void SetReservedField(int32_t value) { m_nReservedField = value; }
  int32_t GetPredefinedFlag() const { return m_nPredefinedFlag; }
  void SetPredefinedFlag(int32_t flag) { m_nPredefinedFlag = flag; }
  int32_t GetDestinationFlag() const { return m_nDestinationFlag; }
  void SetDestinationFlag(int32_t flag) { m_nDestinationFlag = flag; }

  const CPreDefineFolder& GetPredefinedFolder() const { return m_folder; }
  // Copies the folder's keyword and id and names the node after the folder;
  // null changes nothing.
  void SetPredefinedFolder(const CPreDefineFolder* folder);
  const std::wstring& GetPredefinedFolderName() const { return m_folder.GetName(); }

  // The name the node is installed under: the resolved system folder for a
  // predefined node, the node's name otherwise.
  std::wstring GetTargetName() const;
  // True when the source path names a file that opens for reading.
  bool SourceExists() const;
  // Exact, case-sensitive comparison of the source paths.
  bool IsSameSource(const CZipFileIndexObject& other) const { return m_strSourcePath == other.m_strSourcePath; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strSourcePath;
  std::wstring m_strName;
  int32_t m_nOffset = -1;  // -1 until a stream is packed for the node
  int32_t m_nPackedSize = 0;
  int32_t m_nFolderFlag = 0;
  int32_t m_nReservedField = 0;
  int32_t m_nPredefinedFlag = 0;
  int32_t m_nDestinationFlag = 0;
  CPreDefineFolder m_folder;
};

// A named file group: the folder-and-file tree the extractor walks, and a flat
// list used only while editing (never stored).
class CExtractFileList : public CFileObject {
  DECLARE_SERIAL(CExtractFileList)
 public:
  CExtractFileList();
  ~CExtractFileList() override;
  CExtractFileList(const CExtractFileList&) = delete;
  CExtractFileList& operator=(const CExtractFileList&) = delete;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  int32_t GetReservedField() const { return m_nReservedField; }
  void SetReservedField(int32_t value) { m_nReservedField = value; }

  CObTree& GetTree() { return m_tree; }
  const CObTree& GetTree() const { return m_tree; }

  // Flat-list editing; each returns 1 when the list changed, 0 otherwise.
  // AddFile appends a copy of `file` when its source file exists.
  int AddFile(const CZipFileIndexObject& file);
  int RemoveFileAt(int index);
  // Removes the first entry with the same source path as `file`.
  int RemoveFile(const CZipFileIndexObject& file);
  int RemoveAllFiles();
  const CTypedPtrList<CZipFileIndexObject>& GetFiles() const { return m_files; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  int32_t m_nReservedField = 0;
  CTypedPtrList<CZipFileIndexObject> m_files;
  CObTree m_tree;
};
