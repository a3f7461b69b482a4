// CPreDefineFolder: a system folder named by keyword and shell folder id.
#pragma once

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
