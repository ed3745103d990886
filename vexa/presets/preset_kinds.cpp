#include "vexa/presets/preset_kinds.h"

#include "vexa/base/strings.h"

namespace vexa {

std::vector<RenamedPreset> renameOldPresetKinds(const std::filesystem::path& folder) {
  std::vector<RenamedPreset> renamed;
  std::error_code ec;
  std::vector<std::filesystem::path> old;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const std::string ext = entry.path().extension().string();
    if (iequals(ext, ".pps") || iequals(ext, ".vps")) old.push_back(entry.path());
  }
  for (const auto& from : old) {
    std::filesystem::path to = from;
    to.replace_extension(iequals(from.extension().string(), ".pps") ? ".vdp" : ".vcp");
    RenamedPreset r{from, to, false};
    // A preset of today's kind with the same name is newer: never replace it.
    if (!std::filesystem::exists(to, ec)) {
      std::filesystem::rename(from, to, ec);
      r.done = !ec;
    }
    renamed.push_back(r);
  }
  return renamed;
}

}  // namespace vexa
