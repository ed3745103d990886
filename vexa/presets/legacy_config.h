#pragma once
// The older "Vexa Config" format: one INI section per action, named
// "command@remote#n". Read only.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/model/cmd_tree.h"
#include "vexa/codec/ini_file.h"

namespace vexa {

inline constexpr std::string_view kLegacySection = "Vexa Config";

bool isLegacyConfig(const CIniFile& ini);

struct LegacySectionName {
  std::string command;
  std::string remote;
  std::string number;
};
// "Play@Remote1#3" or "Play#Remote1#3"; nullopt when it has not three parts.
std::optional<LegacySectionName> splitLegacySectionName(std::string_view name);

// The section names the old reader saw: a buffer of CmdCount * 500 bytes of
// NUL-separated names. A name that does not fit whole is not read.
std::vector<std::string> legacySectionNames(const CIniFile& ini);

struct LegacyImport {
  std::string plugIn;
  size_t actions = 0;
};
// Adds the legacy actions to `tree` (which the caller has emptied).
LegacyImport importLegacyConfig(const CIniFile& ini, CCmdTree& tree);

}  // namespace vexa
