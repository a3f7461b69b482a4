// Shows the data model at work: fills a project from the default template,
// stores it as a project index, loads the index back and describes it.
#include <cstdio>
#include <iostream>
#include <string>

#include "model/archive.h"
#include "model/default_box.h"
#include "model/install_project.h"
#include "model/project_index.h"
#include "tools/describe.h"

namespace {

void HexDump(const std::vector<uint8_t>& bytes, size_t limit) {
  for (size_t i = 0; i < bytes.size() && i < limit; i += 16) {
    std::printf("  %04zx ", i);
    for (size_t j = i; j < i + 16 && j < bytes.size() && j < limit; ++j) std::printf(" %02X", bytes[j]);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::printf("usage: %s [--write-index FILE]\n\nFills a project from the default template, stores it as a\n"
                "project index, loads it back, checks that storing again gives the same bytes, and\n"
                "describes it. --write-index also saves the index bytes to FILE.\n",
                argv[0]);
    return 0;
  }
  std::string indexFile;
  if (argc > 2 && std::string(argv[1]) == "--write-index") indexFile = argv[2];
  CInstallProject project;
  FillProject(&project);
  std::vector<uint8_t> index = StoreProjectIndex(project);
  if (!indexFile.empty()) {
    FILE* f = std::fopen(indexFile.c_str(), "wb");
    if (!f || std::fwrite(index.data(), 1, index.size(), f) != index.size()) {
      std::fprintf(stderr, "cannot write %s\n", indexFile.c_str());
      if (f) std::fclose(f);
      return 1;
    }
    std::fclose(f);
  }
  std::printf("Default project stored as a project index of %zu bytes; it starts:\n", index.size());
  HexDump(index, 64);

  CInstallProject loaded;
  CArchiveException::Cause cause = LoadProjectIndex(index.data(), index.size(), loaded);
  if (cause != CArchiveException::none) {
    std::printf("loading failed: %s\n", CArchiveException::CauseName(cause));
    return 1;
  }
  std::vector<uint8_t> again = StoreProjectIndex(loaded);
  std::printf("Loaded back; storing again gives %s bytes.\n\n", again == index ? "the same" : "DIFFERENT");
  zor::DescribeProject(std::cout, loaded);
  return again == index ? 0 : 1;
}
