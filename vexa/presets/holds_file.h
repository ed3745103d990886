#pragma once
// The held-button settings on disk, beside the files that hold the tree:
// "holds.ini" beside "current.vcp", "<preset>.holds" beside a preset's
// ".vcp". One section per command path, with "HoldMs=" and "Command=" (the
// path of the command run when held).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/model/cmd_tree.h"

namespace vexa {

inline constexpr std::string_view kHoldsFile = "holds.ini";
inline constexpr std::string_view kHoldsPresetExt = ".holds";

// "holds.ini" in the folder of the current configuration file.
std::filesystem::path currentHoldsFile(const std::filesystem::path& currentConfig);
// The companion of a preset's command part: the same name with ".holds".
std::filesystem::path presetHoldsFile(const std::filesystem::path& commandPart);

struct HoldsLoadResult {
  std::string error;                  // the file could not be read; the table is left empty
  std::vector<std::string> ignored;   // settings kept but doing nothing
};

// Fills the tree's hold table from the file; a missing file leaves it empty.
HoldsLoadResult loadHolds(const std::filesystem::path& file, CCmdTree& tree, const ICodePage& codePage);
// Writes the tree's table (atomically); with nothing to write, an existing
// file is removed so that a preset does not keep settings of another.
// Throws FileError.
void saveHolds(const std::filesystem::path& file, const CCmdTree& tree, const ICodePage& codePage);

// The one status-line text for a load that ignored settings, empty for none.
std::string holdsIgnoredStatus(const std::filesystem::path& file, const HoldsLoadResult& result);

}  // namespace vexa
