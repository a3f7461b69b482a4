#include "model/object.h"

#include <cstring>

#include "model/archive.h"

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return true;
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
  for (const CRuntimeClass* const* c = Registry(); *c; ++c)
    if (name == (*c)->m_lpszClassName) return *c;
  return nullptr;
}
