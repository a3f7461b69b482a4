#include "model/clone.h"

CObject* CloneStoredObject(const CObject& record) {
  MemoryStream out;
  {
    CArchive ar(&out, CArchive::store);
    ar.WriteObject(&record);
    ar.Close();
  }
  MemoryStream in(out.Bytes().data(), out.Bytes().size());
  CArchive ar(&in, CArchive::load);
  return ar.ReadObject(record.GetRuntimeClass());
}
