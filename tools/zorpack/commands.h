// The commands of zorpack, apart from argument parsing, so tests can run
// them directly. Each returns the process exit code and writes its messages
// to the given streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class CInstallProject;

namespace zorpack {

enum ExitCode : int {
  kExitOk = 0,
  kExitBadInput = 1,  // a file that cannot be read, written or understood
  kExitUsage = 2,     // the command line itself is wrong
};

// Prints a loaded project: with `json` as complete JSON (every field and the
// build outputs), otherwise as the readable summary. Shared by every command
// that shows a project, whether it comes from a description or a package.
void PrintProject(const CInstallProject& project, bool json, std::ostream& out);

// Paths are UTF-8, as the command line gives them.
int NewProject(const std::string& path, bool force, std::ostream& out, std::ostream& err);
// With `json`, the loaded project as complete JSON (every field, folders
// filled in); otherwise the readable summary.
int DescribeProject(const std::string& path, bool json, std::ostream& out, std::ostream& err);
int WriteIndex(const std::string& path, const std::string& output, std::ostream& out, std::ostream& err);

// The project inside a package, printed as PrintProject does.
int ListPackage(const std::string& package, bool json, std::ostream& out, std::ostream& err);

// Checks every stream of every file group against the index: each one
// must decode completely with a good checksum, have the length the index
// records, lie before the project index and share no bytes with another.
// Prints a line for each damaged file and a summary; 1 when anything is bad.
int VerifyPackage(const std::string& package, std::ostream& out, std::ostream& err);

struct ExtractOptions {
  std::string package;
  std::string destination;           // where the destination folder of every group goes
  std::vector<std::string> groups;   // all groups when empty
  std::vector<std::string> folders;  // "ID=PATH": a system folder (number or "[Name]") and where it goes
};
// Unpacks file groups with the package engine's extractor. Files below a
// system folder go to its mapped path or, without one, are skipped with a
// warning; nothing is written anywhere else. The destination and mapped
// paths are taken against the working folder. 1 when any other file is
// left out (a damaged stream, a refused name, a second name of one file, no
// place at all; a damaged one is never left in place), 2 for an unknown
// group or a bad mapping.
int ExtractPackage(const ExtractOptions& options, std::ostream& out, std::ostream& err);

// The builder compresses at most 64 files ahead of the one it writes, so
// more threads than that would have nothing to do.
constexpr int kMaxBuildThreads = 64;

struct BuildOptions {
  std::string project;  // the description
  std::string output;   // the package to write
  std::string engine;   // replaces the description's engine when not empty
  std::string log;      // replaces the project's build log path when not empty
  // Compression threads, 1 to kMaxBuildThreads; 0 for one per processor.
  // The packed streams and the index do not depend on it.
  int threads = 0;
};
// Builds a package. Every node is checked first, so whatever the builder or
// the extractor would refuse (a name, two names of one file, a missing or
// irregular source ...) is named before anything is written; a build that
// fails removes its partial output.
int BuildPackage(const BuildOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zorpack
