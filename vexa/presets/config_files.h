#pragma once
// The command part and the device part of a configuration, and where
// presets keep them.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/codec/ini_file.h"

namespace vexa {

inline constexpr std::string_view kCurrentConfigFile = "current.vcp";
inline constexpr std::string_view kPresetsFolder = "presets";
inline constexpr std::string_view kCommandPartExt = ".vcp";
inline constexpr std::string_view kDevicePartExt = ".vdp";
inline constexpr std::string_view kPlugInPresetSection = "PlugIn Preset";
inline constexpr std::string_view kDeviceConfigSection = "Device Config";

struct LoadResult {
  bool ok = true;
  std::string error;                  // why the file could not be read at all
  std::vector<std::string> problems;  // items that could not be built
  std::string legacyPlugIn;           // set when the file was in the legacy format
  bool legacy = false;
};

// A missing file loads as an empty tree. A file that cannot be read or
// parsed leaves `tree` as it was and says why. The file's text is in `codePage`.
LoadResult loadCommandPart(const std::filesystem::path& file, CCmdTree& tree, const ICodePage& codePage,
                           const std::function<void(const std::string&)>& status = {});
// Binary key tree, replacing the file atomically. Throws FileError.
void saveCommandPart(const std::filesystem::path& file, const CCmdTree& tree, const ICodePage& codePage);

// "PlugIn Preset"/"PluginName", else "Device Config"/"DeviceName".
std::string devicePartPlugIn(const CIniFile& devicePart);
// A fresh device part that names the plug-in; the device host appends its
// own sections before it is saved.
CIniFile newDevicePart(std::string_view plugInName);

struct PresetPaths {
  std::filesystem::path commandPart;  // empty when absent (existing-only)
  std::filesystem::path devicePart;
};
// "<program>\presets\<name>.vcp" and ".vdp". With existingOnly, paths whose
// file cannot be opened come back empty, and nullopt when both are.
std::optional<PresetPaths> presetPaths(const std::filesystem::path& programFolder, std::string_view name,
                                       bool existingOnly);

}  // namespace vexa
