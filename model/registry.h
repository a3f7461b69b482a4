// CRegistryValue, one registry value a project writes or removes;
// CRegistryTable, a named list of them; CRegistryFile, a packed registry file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/archive.h"
#include "model/file_list.h"
#include "model/file_object.h"

class CRegistryValue : public CFileObject {
  DECLARE_SERIAL(CRegistryValue)
 public:
  CRegistryValue() = default;

  // The predefined root key (zor::kHkeyLocalMachine ...). It is not stored: a
  // loaded value has root 0, and cannot be applied, until its owner sets one.
  uint32_t GetRootKey() const { return m_hRoot; }
  void SetRootKey(uint32_t root) { m_hRoot = root; }
  uint32_t GetValueType() const { return m_dwType; }
  void SetValueType(uint32_t type) { m_dwType = type; }
  const std::wstring& GetKeyPath() const { return m_strKey; }
  void SetKeyPath(std::wstring key) { m_strKey = std::move(key); }
  const std::wstring& GetValueName() const { return m_strName; }
  void SetValueName(std::wstring name) { m_strName = std::move(name); }
  // Non-zero: applying the value removes it instead of writing it.
  int32_t GetDeleteFlag() const { return m_nDelete; }
  void SetDeleteFlag(int32_t flag) { m_nDelete = flag; }
  int32_t GetSecondFlag() const { return m_nSecond; }
  void SetSecondFlag(int32_t flag) { m_nSecond = flag; }

  // The value's bytes. The record owns them, and the block always holds
  // exactly data-size bytes.
  void SetData(std::vector<uint8_t> data) { m_data = std::move(data); }
  void SetData(const void* data, uint32_t size);
  // Grows the block with zeros or cuts it, so size and block never disagree.
  void SetDataSize(uint32_t size) { m_data.resize(size); }
  uint32_t GetDataSize() const { return static_cast<uint32_t>(m_data.size()); }
  // The block (null when there is none) and its size.
  const uint8_t* GetData(uint32_t* size) const;

  // Writes the value under its root key, creating the key when missing, or
  // removes it when the delete flag is set. 1 on success, 0 otherwise; a
  // value without data, key path, value name or root key is refused.
  int ApplyValue() const;
  // Deletes the value from its key. The same values are refused as by
  // ApplyValue; a missing key is not created.
  int RemoveValue() const;

  void Serialize(CArchive& ar) override;

 private:
  bool CanApply() const;

  uint32_t m_hRoot = 0;
  uint32_t m_dwType = 0;
  std::wstring m_strKey;
  std::wstring m_strName;
  std::vector<uint8_t> m_data;
  int32_t m_nDelete = 0;
  int32_t m_nSecond = 0;
};

class CRegistryTable : public CFileObject {
  DECLARE_SERIAL(CRegistryTable)
 public:
  CRegistryTable() = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }

  // Takes `value` over and appends it; false for null.
  bool AddValue(CRegistryValue* value);
  // Unlinks and destroys `value` when the table holds it (the system registry
  // is not touched); false otherwise.
  bool RemoveValue(const CRegistryValue* value);
  CTypedPtrList<CRegistryValue>& GetValues() { return m_values; }
  const CTypedPtrList<CRegistryValue>& GetValues() const { return m_values; }

  // Gives every value held the root key, since the stored form carries none.
  void SetRootKey(uint32_t root);

  void Serialize(CArchive& ar) override;

 private:
  CTypedPtrList<CRegistryValue> m_values;
  std::wstring m_strName;
};

class CRegistryFile : public CFileObject {
  DECLARE_SERIAL(CRegistryFile)
 public:
  CRegistryFile() = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(std::wstring name) { m_strName = std::move(name); }
  CZipFileIndexObject& GetFile() { return m_file; }
  const CZipFileIndexObject& GetFile() const { return m_file; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strName;
  CZipFileIndexObject m_file;
};
