// zorpack's command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorpack {

// Runs zorpack with `args` (UTF-8, without the program's name) and returns
// the exit code: 0 done, 1 bad input, 2 bad usage.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zorpack
