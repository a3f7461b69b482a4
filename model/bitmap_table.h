// CBitmapTable, a project's pictures keyed by number, and CIDBitmap, one
// picture with its file entry.
#pragma once

#include <string>

#include "model/archive.h"
#include "model/file_list.h"
#include "model/file_object.h"

class CIDBitmap : public CFileObject {
  DECLARE_SERIAL(CIDBitmap)
 public:
  static constexpr int32_t kNoId = -1;

  CIDBitmap() = default;
  CIDBitmap(const CIDBitmap&) = default;
  CIDBitmap& operator=(const CIDBitmap&) = default;

  int32_t GetId() const { return m_nId; }
  void SetId(int32_t id) { m_nId = id; }
  // An empty path is ignored.
  void SetSourcePath(const std::wstring& path);
  const std::wstring& GetSourcePath() const { return m_picture.GetSourcePath(); }
  CZipFileIndexObject& GetPicture() { return m_picture; }
  const CZipFileIndexObject& GetPicture() const { return m_picture; }

  void Serialize(CArchive& ar) override;

 private:
  int32_t m_nId = kNoId;
  CZipFileIndexObject m_picture;
};

class CBitmapTable : public CFileObject {
  DECLARE_SERIAL(CBitmapTable)
 public:
  CBitmapTable() = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }

  // Refreshes the cached count (which is what gets stored) and returns it.
  int GetCount();
  int GetCachedCount() const { return m_nCount; }
  // Stored as it is; tools that reproduce a stored table set it.
  void SetCachedCount(int count) { m_nCount = count; }
  CTypedPtrList<CIDBitmap>& GetEntries() { return m_entries; }
  const CTypedPtrList<CIDBitmap>& GetEntries() const { return m_entries; }

  // Appends a copy of `bitmap` and returns 1 when it has an identifier and
  // its picture file exists; 0 otherwise.
  int AddBitmap(const CIDBitmap& bitmap);
  // The first entry with `id`, or null.
  const CIDBitmap* FindBitmap(int32_t id) const;
  int Clear();
  // Appends one entry per line of the file's "Bitmap" section; each value is
  // a file name in the "Default" folder beside the running program, which is
  // not looked for. 1 on success; 0 with the table unchanged when the file
  // cannot be read.
  int LoadFromIniFile(const std::wstring& path);

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  int32_t m_nCount = 0;
  CTypedPtrList<CIDBitmap> m_entries;
};
