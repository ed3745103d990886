#pragma once
// Finds everything in a stored command tree that the program would refuse,
// repair or misread, each with the key path where it is.
#include <string>
#include <vector>

#include "vexa/codec/profile_tree.h"

namespace vexa {

struct ConfigProblem {
  std::string path;
  std::string message;
};

std::vector<ConfigProblem> checkCommandKeys(const CProfileTree& keys);

}  // namespace vexa
