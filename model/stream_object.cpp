#include "model/stream_object.h"

IMPLEMENT_SERIAL(CStreamObject, CFileObject, 0)
IMPLEMENT_SERIAL(CSplashDlgObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CIntroDLgObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CDirSelectDlgObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CExtractDlgObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CFinishDlgObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CDllObject, CStreamObject, 0)
IMPLEMENT_SERIAL(CExeObject, CStreamObject, 0)

void CStreamObject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_bEnabled);
  ar.Exchange(m_nType);
}

int CStreamObject::Run() { return 2; }
