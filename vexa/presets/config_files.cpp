#include "vexa/presets/config_files.h"

#include <array>
#include <fstream>

#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/base/utf8_path.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/presets/legacy_config.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_file.h"

namespace vexa {

LoadResult loadCommandPart(const std::filesystem::path& file, CCmdTree& tree, const ICodePage& codePage,
                           const std::function<void(const std::string&)>& status) {
  LoadResult result;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    tree.clear();
    return result;
  }
  try {
    std::ifstream in(file, std::ios::binary);
    if (!in) VEXA_THROW(FileError, "Cannot open \"" + utf8FromPath(file) + "\" for reading");
    std::array<char, 5> head{};
    in.read(head.data(), head.size());
    const bool text = looksLikeText(std::string_view(head.data(), static_cast<size_t>(in.gcount())));
    in.clear();
    in.seekg(0);
    TreeLoadResult loaded;
    if (text) {
      const std::string bytes = readFileBytes(file);
      const CIniFile ini = CIniFile::parse(codePage.toUtf8(bytes));
      if (isLegacyConfig(ini)) {
        tree.clear();
        result.legacy = true;
        result.legacyPlugIn = importLegacyConfig(ini, tree).plugIn;
        return result;
      }
      loaded = decodeCommandTree(tree, bytes, codePage, status);
    } else {
      // The archive form is read piece by piece: never the whole file beside the tree.
      loaded = decodeCommandTree(tree, in, codePage, status);
    }
    result.ok = loaded.ok;
    result.problems = std::move(loaded.problems);
  } catch (const VexaError& e) {
    result.ok = false;
    result.error = "\"" + utf8FromPath(file) + "\": " + e.what();
  }
  return result;
}

void saveCommandPart(const std::filesystem::path& file, const CCmdTree& tree, const ICodePage& codePage) {
  saveCommandTreeFile(tree, file, codePage);
}

std::string devicePartPlugIn(const CIniFile& devicePart) {
  if (auto name = devicePart.find(kPlugInPresetSection, "PluginName")) return *name;
  return devicePart.getString(kDeviceConfigSection, "DeviceName");
}

CIniFile newDevicePart(std::string_view plugInName) {
  CIniFile ini;
  ini.setString(kPlugInPresetSection, "PluginName", plugInName);
  return ini;
}

namespace {
std::filesystem::path existing(std::filesystem::path p, bool existingOnly) {
  if (!existingOnly) return p;
  std::ifstream probe(p, std::ios::binary);
  return probe ? p : std::filesystem::path();
}
}  // namespace

std::optional<PresetPaths> presetPaths(const std::filesystem::path& programFolder, std::string_view name,
                                       bool existingOnly) {
  const std::filesystem::path folder = programFolder / std::string(kPresetsFolder);
  PresetPaths paths{existing(folder / pathFromUtf8(std::string(name) + std::string(kCommandPartExt)), existingOnly),
                    existing(folder / pathFromUtf8(std::string(name) + std::string(kDevicePartExt)), existingOnly)};
  if (paths.commandPart.empty() && paths.devicePart.empty()) return std::nullopt;
  return paths;
}

}  // namespace vexa
