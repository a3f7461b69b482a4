#include "model/bitmap_table.h"

#include "model/ini_section.h"
#include "platform/host.h"

IMPLEMENT_SERIAL(CIDBitmap, CFileObject, 0)
IMPLEMENT_SERIAL(CBitmapTable, CFileObject, 0)

void CIDBitmap::SetSourcePath(const std::wstring& path) {
  if (!path.empty()) m_picture.SetSourcePath(path);
}

void CIDBitmap::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_nId);
  m_picture.Serialize(ar);
}

int CBitmapTable::GetCount() {
  m_nCount = static_cast<int32_t>(m_entries.GetCount());
  return m_nCount;
}

int CBitmapTable::AddBitmap(const CIDBitmap& bitmap) {
  if (bitmap.GetId() == CIDBitmap::kNoId || !bitmap.GetPicture().SourceExists()) return 0;
  m_entries.AddTail(new CIDBitmap(bitmap));
  return 1;
}

const CIDBitmap* CBitmapTable::FindBitmap(int32_t id) const {
  for (const CIDBitmap* entry : m_entries)
    if (entry->GetId() == id) return entry;
  return nullptr;
}

int CBitmapTable::Clear() {
  m_entries.RemoveAll();
  m_nCount = 0;
  return 1;
}

int CBitmapTable::LoadFromIniFile(const std::wstring& path) {
  const std::wstring folder = zor::ModuleFolder() + L"Default\\";
  bool ok = zor::ForEachIniLine(path, L"Bitmap", [&](int id, const std::wstring& value) {
    auto* entry = new CIDBitmap;
    entry->SetId(id);
    entry->SetSourcePath(folder + value);
    m_entries.AddTail(entry);
  });
  return ok ? 1 : 0;
}

void CBitmapTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_nCount);
  m_entries.Serialize(ar);
}
