// CStringTable, a language's texts keyed by number, and CIDString, one text.
#pragma once

#include <string>

#include "model/archive.h"
#include "model/file_object.h"

class CIDString : public CFileObject {
  DECLARE_SERIAL(CIDString)
 public:
  static constexpr int32_t kNoId = -1;

  CIDString() = default;
  CIDString(int32_t id, int32_t tag, std::wstring text) : m_nId(id), m_nTag(tag), m_strText(std::move(text)) {}

  int32_t GetId() const { return m_nId; }
  void SetId(int32_t id) { m_nId = id; }
  // Only the validated add looks at the tag word: it must be non-zero there.
  int32_t GetTag() const { return m_nTag; }
  void SetTag(int32_t tag) { m_nTag = tag; }
  const std::wstring& GetText() const { return m_strText; }
  void SetText(std::wstring text) { m_strText = std::move(text); }

  // Every entry is stored in full, also one without an identifier, so any
  // stored table reads back.
  void Serialize(CArchive& ar) override;

 private:
  int32_t m_nId = kNoId;
  int32_t m_nTag = 0;
  std::wstring m_strText;
};

class CStringTable : public CFileObject {
  DECLARE_SERIAL(CStringTable)
 public:
  CStringTable() = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  uint32_t GetLanguage() const { return m_dwLanguage; }
  void SetLanguage(uint32_t language) { m_dwLanguage = language; }

  // Refreshes the cached count (which is what gets stored) and returns it.
  int GetCount();
  int GetCachedCount() const { return m_nCount; }
  // Stored as it is; tools that reproduce a stored table set it.
  void SetCachedCount(int count) { m_nCount = count; }
  CTypedPtrList<CIDString>& GetEntries() { return m_entries; }
  const CTypedPtrList<CIDString>& GetEntries() const { return m_entries; }

  // Takes `entry` over and returns 1 when it has an identifier, a non-zero
  // tag word and a text; otherwise returns 0 and the caller keeps it.
  int AddString(CIDString* entry);
  // The text of the first entry with `id`; empty when there is none.
  std::wstring FindString(int32_t id) const;
  int Clear();
  // Appends one entry per line of the file's "CString" section (tag word 0,
  // added without the validated add's test). 1 on success; 0 with the table
  // unchanged when the file cannot be read.
  int LoadFromIniFile(const std::wstring& path);

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  uint32_t m_dwLanguage = 0;
  int32_t m_nCount = 0;
  CTypedPtrList<CIDString> m_entries;
};
