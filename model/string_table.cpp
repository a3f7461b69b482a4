#include "model/string_table.h"

#include "model/ini_section.h"

IMPLEMENT_SERIAL(CIDString, CFileObject, 0)
IMPLEMENT_SERIAL(CStringTable, CFileObject, 0)

void CIDString::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_nId);
  ar.Exchange(m_nTag);
  ar.Exchange(m_strText);
}

int CStringTable::GetCount() {
  m_nCount = static_cast<int32_t>(m_entries.GetCount());
  return m_nCount;
}

int CStringTable::AddString(CIDString* entry) {
  if (!entry || entry->GetId() == CIDString::kNoId || entry->GetTag() == 0 || entry->GetText().empty()) return 0;
  m_entries.AddTail(entry);
  return 1;
}

std::wstring CStringTable::FindString(int32_t id) const {
  for (const CIDString* entry : m_entries)
    if (entry->GetId() == id) return entry->GetText();
  return std::wstring();
}

int CStringTable::Clear() {
  m_entries.RemoveAll();
  m_nCount = 0;
  return 1;
}

int CStringTable::LoadFromIniFile(const std::wstring& path) {
  bool ok = zor::ForEachIniLine(path, L"CString", [this](int id, const std::wstring& value) {
    m_entries.AddTail(new CIDString(id, 0, value));
  });
  return ok ? 1 : 0;
}

void CStringTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_dwLanguage);
  ar.Exchange(m_nCount);
  m_entries.Serialize(ar);
}
