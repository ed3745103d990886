#pragma once
// The current configuration file between start-up, the user's saves and quitting.
#include <functional>
#include <string>

namespace vexa {
class CCmdTree;
class CCurrentConfig;
struct LoadResult;
}  // namespace vexa

namespace vexa::shell {

// Loads everything loadable into `tree`; whatever could not be loaded is
// reported once, in one message, and the file stays as it is.
LoadResult loadCurrentConfig(CCurrentConfig& config, CCmdTree& tree,
                             const std::function<void(const std::string&)>& report);

// Saves the tree. A file that loaded with problems is replaced only when the
// user agrees (it is kept as "<file>.bak" first). False when the user said No;
// throws FileError when writing failed (the file is then unchanged).
bool saveCurrentConfig(CCurrentConfig& config, const CCmdTree& tree,
                       const std::function<bool(const std::string&)>& askYesNo);

}  // namespace vexa::shell
