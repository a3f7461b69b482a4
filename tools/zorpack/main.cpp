// zorpack: the package tool for release engineers.
#include <iostream>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "tools/zorpack/cli.h"

#ifdef _WIN32
// The wide command line, so paths outside the ANSI code page arrive intact.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(zor::ToUtf8(argv[i]));
  return zorpack::Run(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zorpack::Run(args, std::cout, std::cerr);
}
#endif
