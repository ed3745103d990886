#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace vexa {

// The whole command line tool; returns its exit status (0 fine, 1 problems
// found, 2 usage or file errors). Arguments, file names included, are UTF-8.
int runVexacfg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vexa
