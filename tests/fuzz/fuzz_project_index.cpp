// Arbitrary bytes as a project index. A load may fail only with an archive
// error; a load that succeeds must store and reload to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/install_project.h"
#include "model/project_index.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CInstallProject project;
  if (LoadProjectIndex(data, size, project) != CArchiveException::none) return 0;
  // 8-bit strings come back as UTF-16, so compare the second store with the
  // first rather than with the input.
  std::vector<uint8_t> first = StoreProjectIndex(project);
  CInstallProject again;
  if (LoadProjectIndex(first.data(), first.size(), again) != CArchiveException::none) std::abort();
  if (StoreProjectIndex(again) != first) std::abort();
  return 0;
}
