// Shows the data model at work: fills a project from the default template,
// stores it as a project index, loads the index back and describes it.
#include <cstdio>
#include <iostream>
#include <string>

#include "model/archive.h"
#include "model/default_box.h"
#include "model/install_project.h"
#include "tools/describe.h"

namespace {

void HexDump(const std::vector<uint8_t>& bytes, size_t limit) {
  for (size_t i = 0; i < bytes.size() && i < limit; i += 16) {
    std::printf("  %04zx ", i);
    for (size_t j = i; j < i + 16 && j < bytes.size() && j < limit; ++j) std::printf(" %02X", bytes[j]);
    std::printf("\n");
  }
}

std::vector<uint8_t> Store(CInstallProject& project) {
  MemoryStream out;
  CArchive ar(&out, CArchive::store);
  project.Serialize(ar);
  ar.Close();
  return out.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::printf("usage: %s\n\nFills a project from the default template, stores it as a project index,\n"
                "loads it back, checks that storing again gives the same bytes, and describes it.\n",
                argv[0]);
    return 0;
  }
  CInstallProject project;
  FillProject(&project);
  std::vector<uint8_t> index = Store(project);
  std::printf("Default project stored as a project index of %zu bytes; it starts:\n", index.size());
  HexDump(index, 64);

  CInstallProject loaded;
  try {
    MemoryStream in(index.data(), index.size());
    CArchive ar(&in, CArchive::load);
    loaded.Serialize(ar);
  } catch (const CArchiveException& e) {
    std::printf("loading failed: %s\n", e.what());
    return 1;
  }
  std::vector<uint8_t> again = Store(loaded);
  std::printf("Loaded back; storing again gives %s bytes.\n\n", again == index ? "the same" : "DIFFERENT");
  zor::DescribeProject(std::cout, loaded);
  return again == index ? 0 : 1;
}
