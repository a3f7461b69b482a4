// CStreamObject, one step of an installation flow, and the marker classes
// that tell the kind of step by their class alone.
#pragma once

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/file_object.h"

class CStringTable;
class CBitmapTable;

class CStreamObject : public CFileObject {
  DECLARE_SERIAL(CStreamObject)
 public:
  CStreamObject() = default;
  CStreamObject(const CStreamObject&) = default;
  CStreamObject& operator=(const CStreamObject&) = default;

  const std::wstring& GetName() const { return m_strName; }
  void SetName(const std::wstring& name) { m_strName = name; }
  // The tables a step takes its texts and pictures from. Not owned, and not
  // stored: a loaded step has none until its project links it again.
  CStringTable* GetStringTable() const { return m_pStringTable; }
  void SetStringTable(CStringTable* table) { m_pStringTable = table; }
  CBitmapTable* GetBitmapTable() const { return m_pBitmapTable; }
  void SetBitmapTable(CBitmapTable* table) { m_pBitmapTable = table; }
  int GetEnabled() const { return m_bEnabled; }
  void SetEnabled(int enabled) { m_bEnabled = enabled; }
  int GetType() const { return m_nType; }
  void SetType(int type) { m_nType = type; }

  void Serialize(CArchive& ar) override;
  // A plain step has nothing to test; it always reports 2. Selectors report
  // 0 when their test passes.
  virtual int Run();

 private:
  std::wstring m_strName;
  CStringTable* m_pStringTable = nullptr;
  CBitmapTable* m_pBitmapTable = nullptr;
  int32_t m_bEnabled = 1;
  int32_t m_nType = 0;
};

// Kinds of step. They add nothing but their class, which is what an archive
// records for them.
class CSplashDlgObject : public CStreamObject {
  DECLARE_SERIAL(CSplashDlgObject)
};
class CIntroDLgObject : public CStreamObject {
  DECLARE_SERIAL(CIntroDLgObject)
};
class CDirSelectDlgObject : public CStreamObject {
  DECLARE_SERIAL(CDirSelectDlgObject)
};
class CExtractDlgObject : public CStreamObject {
  DECLARE_SERIAL(CExtractDlgObject)
};
class CFinishDlgObject : public CStreamObject {
  DECLARE_SERIAL(CFinishDlgObject)
};
class CDllObject : public CStreamObject {
  DECLARE_SERIAL(CDllObject)
};
class CExeObject : public CStreamObject {
  DECLARE_SERIAL(CExeObject)
};
