#pragma once
// Which variant of a command a press runs: the one of an application folder
// whose application runs (and is in front, where the folder asks for it),
// else the one of "No running applications" when no defined application
// runs, else the global one.
#include <cstdint>
#include <optional>
#include <string_view>

#include "vexa/exec/app_environment.h"
#include "vexa/model/cmd_tree.h"

namespace vexa {

struct Resolution {
  CCmdArray* command = nullptr;        // first layout of the command found
  const APPFOLDER* folder = nullptr;   // the folder it was found in, if any
  uint32_t folderFlags = 0;
  bool applicationActive = true;       // false: found, but its application is not in front
};

inline constexpr size_t kMaxFoldersPerCommand = 100;

std::optional<Resolution> resolveCommand(const CCmdTree& tree, std::string_view remote, std::string_view command,
                                         IAppEnvironment& environment);

}  // namespace vexa
