// CPreLang, a language by display name and Windows language identifier, and
// CPreLangTable, the built-in list of languages a project may name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/archive.h"
#include "model/file_object.h"

class CPreLang : public CFileObject {
  DECLARE_SERIAL(CPreLang)
 public:
  CPreLang() = default;
  CPreLang(const std::wstring& name, int langId) : m_strName(name), m_nLangId(langId) {}
  CPreLang(const CPreLang&) = default;
  CPreLang& operator=(const CPreLang&) = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(const std::wstring& name) { m_strName = name; }
  // -1 when never set; 0 stands for any language where a condition uses it.
  int GetLangId() const { return m_nLangId; }
  void SetLangId(int id) { m_nLangId = id; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  int32_t m_nLangId = -1;
};

// Built from static data on construction; never stored.
class CPreLangTable {
 public:
  CPreLangTable();
  CPreLangTable(const CPreLangTable&) = delete;
  CPreLangTable& operator=(const CPreLangTable&) = delete;

  size_t GetCount() const { return m_langs.GetCount(); }
  const CPreLang* GetAt(size_t index) const { return m_langs.GetAt(index); }
  // The first language with that identifier; null when there is none.
  const CPreLang* FindById(int langId) const;
  const CTypedPtrList<CPreLang>& GetList() const { return m_langs; }

 private:
  CTypedPtrList<CPreLang> m_langs;
};

// A new table on every call; the caller owns it.
std::unique_ptr<CPreLangTable> GetPreLangTable();
