#pragma once
// Presets of the older kinds (".pps" device parts, ".vps" command parts) get
// the names of today's kinds, so that every preset is listed and loads.
#include <filesystem>
#include <string>
#include <vector>

namespace vexa {

struct RenamedPreset {
  std::filesystem::path from, to;
  bool done = false;  // false: a file of the new name was already there and is kept
};

// Renames every "*.pps" to ".vdp" and "*.vps" to ".vcp" in `folder` (not below it).
std::vector<RenamedPreset> renameOldPresetKinds(const std::filesystem::path& folder);

}  // namespace vexa
