#include "vexa/presets/holds_file.h"

#include <system_error>

#include "vexa/base/errors.h"
#include "vexa/base/strings.h"
#include "vexa/codec/ini_file.h"

namespace vexa {

namespace {

constexpr std::string_view kHoldMsKey = "HoldMs";
constexpr std::string_view kCommandKey = "Command";

uint32_t holdMsOf(const CIniFile& ini, const std::string& section) {
  const int ms = ini.getInt(section, kHoldMsKey, 0);
  return ms > 0 ? static_cast<uint32_t>(ms) : 0;
}

}  // namespace

std::filesystem::path currentHoldsFile(const std::filesystem::path& currentConfig) {
  return currentConfig.parent_path() / std::string(kHoldsFile);
}

std::filesystem::path presetHoldsFile(const std::filesystem::path& commandPart) {
  std::filesystem::path file = commandPart;
  return file.replace_extension(std::string(kHoldsPresetExt));
}

HoldsLoadResult loadHolds(const std::filesystem::path& file, CCmdTree& tree, const ICodePage& codePage) {
  HoldsLoadResult result;
  tree.holds().clear();
  CIniFile ini;
  try {
    ini = CIniFile::load(file, codePage);
  } catch (const VexaError& e) {
    result.error = e.what();
    return result;
  }
  std::vector<HoldEntry> entries;
  for (const std::string& section : ini.sectionNames())
    entries.push_back(HoldEntry{section, holdMsOf(ini, section), ini.getString(section, kCommandKey)});
  result.ignored = tree.holds().assign(tree, entries);
  return result;
}

void saveHolds(const std::filesystem::path& file, const CCmdTree& tree, const ICodePage& codePage) {
  const std::vector<HoldEntry> entries = tree.holds().entries(tree);
  if (entries.empty()) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) throw FileError("Could not remove " + file.string() + ": " + ec.message(), __FILE__, __LINE__);
    return;
  }
  CIniFile ini;
  for (const HoldEntry& entry : entries)
    ini.appendEntries(entry.path, {{std::string(kHoldMsKey), std::to_string(entry.holdMs)},
                                   {std::string(kCommandKey), entry.target}});
  ini.save(file, codePage);
}

std::string holdsIgnoredStatus(const std::filesystem::path& file, const HoldsLoadResult& result) {
  const std::string name = file.filename().string();
  if (!result.error.empty()) return name + " could not be read: " + result.error;
  if (result.ignored.empty()) return {};
  std::string text = name + ": held-button setting ignored, " + result.ignored.front();
  if (result.ignored.size() > 1) text += " (and " + std::to_string(result.ignored.size() - 1) + " more)";
  return text;
}

}  // namespace vexa
