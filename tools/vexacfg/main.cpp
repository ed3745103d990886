#include <iostream>

#include "tools/vexacfg/vexacfg.h"

int main(int argc, char** argv) {
  return vexa::runVexacfg(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
