// CFileObject, the base of every project record, and FileExists.
#pragma once

#include <string>

#include "model/object.h"

class CFileObject : public CObject {
  DECLARE_SERIAL(CFileObject)
 public:
  CFileObject() = default;
  CFileObject(const CFileObject&) = default;
  CFileObject& operator=(const CFileObject&) = default;
  void Serialize(CArchive& ar) override;

  int32_t GetReserved() const { return m_nReserved; }

 private:
  int32_t m_nReserved = 0;  // copied with the record, never stored or read
};

// True when the path is not empty and names an existing file that opens for
// reading with read sharing; the file is closed again at once.
bool FileExists(const std::wstring& path);
