#include <iostream>

#include "tools/vexacfg/vexacfg.h"

#ifdef _WIN32
#include <filesystem>

#include "vexa/base/utf8_path.h"

// Windows hands narrow programs their arguments in the ANSI code page: take
// the wide ones, so that every file name arrives.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(vexa::utf8FromPath(std::filesystem::path(argv[i])));
  return vexa::runVexacfg(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return vexa::runVexacfg(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
