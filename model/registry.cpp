#include "model/registry.h"

#include "platform/host.h"

IMPLEMENT_SERIAL(CRegistryValue, CFileObject, 0)
IMPLEMENT_SERIAL(CRegistryTable, CFileObject, 0)
IMPLEMENT_SERIAL(CRegistryFile, CFileObject, 0)

void CRegistryValue::SetData(const void* data, uint32_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (!bytes) size = 0;
  m_data.assign(bytes, bytes + size);
}

const uint8_t* CRegistryValue::GetData(uint32_t* size) const {
  if (size) *size = GetDataSize();
  return m_data.empty() ? nullptr : m_data.data();
}

bool CRegistryValue::CanApply() const {
  return !m_data.empty() && !m_strKey.empty() && !m_strName.empty() && m_hRoot != 0;
}

int CRegistryValue::ApplyValue() const {
  if (!CanApply()) return 0;
  if (m_nDelete) return RemoveValue();
  zor::Host& host = zor::CurrentHost();
  zor::Host::RegKey key = 0;
  if (host.RegOpenKey(m_hRoot, m_strKey, &key) != zor::kErrSuccess &&
      host.RegCreateKey(m_hRoot, m_strKey, &key) != zor::kErrSuccess)
    return 0;
  long result = host.RegSetValue(key, m_strName, m_dwType, m_data.data(), GetDataSize());
  host.RegCloseKey(key);
  return result == zor::kErrSuccess ? 1 : 0;
}

int CRegistryValue::RemoveValue() const {
  if (!CanApply()) return 0;
  zor::Host& host = zor::CurrentHost();
  zor::Host::RegKey key = 0;
  // A value cannot be in a key that does not exist; creating the key only to
  // delete from it would leave an empty key behind.
  if (host.RegOpenKey(m_hRoot, m_strKey, &key) != zor::kErrSuccess) return 0;
  long result = host.RegDeleteValue(key, m_strName);
  host.RegCloseKey(key);
  return result == zor::kErrSuccess ? 1 : 0;
}

void CRegistryValue::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strKey);
  ar.Exchange(m_strName);
  uint32_t size = GetDataSize();
  ar.Exchange(size);
  ar.Exchange(m_dwType);
  ar.Exchange(m_nDelete);
  ar.Exchange(m_nSecond);
  if (ar.IsStoring()) {
    if (size) ar.Write(m_data.data(), size);
    return;
  }
  // The size is only a claim until the bytes are there.
  ar.Require(size);
  std::vector<uint8_t> data(size);
  if (size) ar.Read(data.data(), size);
  m_data = std::move(data);
}

bool CRegistryTable::AddValue(CRegistryValue* value) {
  if (!value) return false;
  m_values.AddTail(value);
  return true;
}

bool CRegistryTable::RemoveValue(const CRegistryValue* value) { return m_values.Delete(value); }

void CRegistryTable::SetRootKey(uint32_t root) {
  for (CRegistryValue* value : m_values) value->SetRootKey(root);
}

void CRegistryTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  // The name precedes the values in the stored form.
  ar.Exchange(m_strName);
  m_values.Serialize(ar);
}

void CRegistryFile::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  m_file.Serialize(ar);
}
