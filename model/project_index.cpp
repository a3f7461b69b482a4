#include "model/project_index.h"

#include "model/install_project.h"

std::vector<uint8_t> StoreProjectIndex(CInstallProject& project) {
  MemoryStream out;
  CArchive ar(&out, CArchive::store);
  project.Serialize(ar);
  ar.Close();
  return out.Bytes();
}

CArchiveException::Cause LoadProjectIndex(const uint8_t* data, size_t size, CInstallProject& project) {
  MemoryStream in(data, size);
  CArchive ar(&in, CArchive::load);
  try {
    project.Serialize(ar);
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return CArchiveException::none;
}
