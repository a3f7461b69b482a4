// CPreDefineFolder: a system folder named by keyword and shell folder id, and
// CPreDefineFolderTable, the built-in keywords a project may use.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "model/archive.h"
#include "model/file_object.h"

class CPreDefineFolder : public CFileObject {
  DECLARE_SERIAL(CPreDefineFolder)
 public:
  // Not a shell folder id: the quick-launch bar's folder.
  static constexpr int kQuickLaunchId = 0x80C8;

  CPreDefineFolder() = default;
  CPreDefineFolder(const std::wstring& name, int folderId) : m_strName(name), m_nFolderId(folderId) {}

  const std::wstring& GetName() const { return m_strName; }
  void SetName(const std::wstring& name) { m_strName = name; }
  int GetFolderId() const { return m_nFolderId; }
  void SetFolderId(int id) { m_nFolderId = id; }

  // The folder's path on this machine, without a trailing separator; empty
  // when the system does not know it.
  std::wstring ResolvePath() const;

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  int32_t m_nFolderId = -1;
};

// The built-in folder keywords, built anew for each requester. Never stored,
// so it has no class record of its own.
class CPreDefineFolderTable : public CFileObject {
 public:
  CPreDefineFolderTable();
  CPreDefineFolderTable(const CPreDefineFolderTable&) = delete;
  CPreDefineFolderTable& operator=(const CPreDefineFolderTable&) = delete;

  size_t GetCount() const { return m_folders.GetCount(); }
  const CPreDefineFolder* GetAt(size_t index) const { return m_folders.GetAt(index); }
  // The first row with that id; null when there is none.
  const CPreDefineFolder* FindById(int folderId) const;
  const CTypedPtrList<CPreDefineFolder>& GetList() const { return m_folders; }

 private:
  CTypedPtrList<CPreDefineFolder> m_folders;
};

// A new table on every call; the caller owns it.
std::unique_ptr<CPreDefineFolderTable> GetPreDefineFolderTable();
