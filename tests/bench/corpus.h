// The benchmark corpus: a fixed mix of files generated from fixed seeds, so
// every run on every machine measures the same bytes, and the project that
// packs it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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

// A project description (zorpack's JSON) of the corpus, for a file in the
// corpus's parent folder: one file group per top folder, each a folder
// marked as the destination holding a folder named after the group, filled
// from the corpus folder; the engine is the corpus's engine.exe, the build
// log `logName` beside the description.
std::string Description(const std::filesystem::path& corpusFolder, const std::string& logName);

}  // namespace zorbench
