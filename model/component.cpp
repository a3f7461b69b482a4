#include "model/component.h"

IMPLEMENT_SERIAL(CInstallCompent, CStreamObject, 0)
IMPLEMENT_SERIAL(CInstallComponentMap, CFileObject, 0)

CInstallCompent::~CInstallCompent() { RemoveAllSteps(); }

int CInstallCompent::AddStep(CStreamObject* step) {
  if (!step) return 0;
  m_steps.AddTail(step);
  return 1;
}

int CInstallCompent::RemoveStep(const CStreamObject* step) { return m_steps.Delete(step) ? 1 : 0; }

void CInstallCompent::RemoveAllSteps() {
  m_steps.RemoveAll();
  m_nExtra = 0;
}

void CInstallCompent::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Exchange(m_strText1);
  ar.Exchange(m_strText2);
  ar.Exchange(m_nExtra);
  m_steps.Serialize(ar);
}
