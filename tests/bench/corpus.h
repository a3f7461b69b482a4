// The benchmark corpus: a fixed mix of files generated from fixed seeds, so
// every run on every machine measures the same bytes, and the project that
// packs it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/install_project.h"

namespace zorbench {

struct CorpusFile {
  std::filesystem::path path;      // absolute
  std::filesystem::path relative;  // below the corpus folder: group/..../name
  uint64_t size = 0;
};

// Bumped whenever the generator changes, so an old corpus is made anew.
constexpr int kCorpusVersion = 1;

// Makes the corpus in `folder` unless a complete one of this version is
// there already (a stamp file written last says so). Returns the bytes of
// all files; prints what it does to stdout.
uint64_t EnsureCorpus(const std::filesystem::path& folder);

// The generated engine executable's path inside the corpus folder; it is not
// one of the packed files.
std::filesystem::path EnginePath(const std::filesystem::path& corpusFolder);

// Every packed file, in the order a package of MakeProject holds them:
// groups (the top folders) by name, each tree in pre-order with the entries
// of a folder by name.
std::vector<CorpusFile> ListCorpus(const std::filesystem::path& corpusFolder);

// One file group per top folder of the corpus; each group's root is a folder
// marked as the destination, so extracting puts the group's tree straight
// into the destination below a folder named after the group.
void MakeProject(const std::filesystem::path& corpusFolder, CInstallProject& project,
                 const std::filesystem::path& buildLog);

}  // namespace zorbench
