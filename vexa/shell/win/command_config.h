#pragma once
// Reading the command tree at start-up.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vexa {
class CCmdTree;
}

namespace vexa::shell {

// A file that cannot be read is reported and gives an empty tree, so that the
// program still starts and the user can build a new configuration.
std::unique_ptr<CCmdTree> loadCommandTree(const std::filesystem::path& file,
                                          const std::function<void(const std::string&)>& reportError);

}  // namespace vexa::shell
