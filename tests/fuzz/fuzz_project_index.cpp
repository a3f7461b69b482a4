// Arbitrary bytes as a project index. A load may fail only with an archive
// error; a load that succeeds must store and reload to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/archive.h"
#include "model/install_project.h"

namespace {

std::vector<uint8_t> Store(CInstallProject& project) {
  MemoryStream out;
  CArchive ar(&out, CArchive::store);
  project.Serialize(ar);
  ar.Close();
  return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CInstallProject project;
  try {
    MemoryStream in(data, size);
    CArchive ar(&in, CArchive::load);
    project.Serialize(ar);
  } catch (const CArchiveException&) {
    return 0;
  }
  // 8-bit strings come back as UTF-16, so compare the second store with the
  // first rather than with the input.
  std::vector<uint8_t> first = Store(project);
  CInstallProject again;
  try {
    MemoryStream in(first.data(), first.size());
    CArchive ar(&in, CArchive::load);
    again.Serialize(ar);
  } catch (const CArchiveException&) {
    std::abort();  // what we stored must load
  }
  if (Store(again) != first) std::abort();
  return 0;
}
