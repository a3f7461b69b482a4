// Runs a program as a child process and measures it the way a user would
// see it: wall time from start to exit, and the child's own peak memory.
#pragma once

#include <string>
#include <vector>

namespace zorbench {

struct ChildRun {
  double seconds = 0;   // wall time
  double cpuSeconds = 0; // user and system time of the child
  long maxRssKb = 0;    // the child's peak resident set
  int exitCode = -1;    // -1 when it did not exit normally
};

// Runs `argv` (argv[0] is looked up on PATH) with its standard output sent
// to `stdoutPath` when given, standard input from /dev/null. Throws when it
// cannot be started.
ChildRun RunChild(const std::vector<std::string>& argv, const std::string& stdoutPath = std::string());

// The running program's own path, to start its subcommands.
std::string SelfPath();

// The peak resident set of this process since it started, in KiB (the
// kernel's high-water mark), or -1.
long PeakResidentKb();

}  // namespace zorbench
