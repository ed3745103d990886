#include "vexa/presets/preset_store.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "vexa/base/strings.h"
#include "vexa/base/utf8_path.h"
#include "vexa/presets/config_files.h"
#include "vexa/presets/holds_file.h"

namespace vexa {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool isReservedDeviceName(std::string_view name) {
  std::string base = toLower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul"})
    if (base == device) return true;
  return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' && base[3] <= '9';
}

std::string lowerExtension(const fs::path& file) { return toLower(utf8FromPath(file.extension())); }

// A change of case only goes through a name of its own: a file system that
// ignores case may take the new name for the old file and do nothing.
void renameFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
  if (!iequals(utf8FromPath(from.filename()), utf8FromPath(to.filename()))) {
    fs::rename(from, to, ec);
    return;
  }
  fs::path step = from;
  step += ".renaming";
  fs::rename(from, step, ec);
  if (ec) return;
  fs::rename(step, to, ec);
  if (ec) {
    std::error_code back;
    fs::rename(step, from, back);
  }
}

}  // namespace

std::string_view presetTypeName(PresetType type) {
  switch (type) {
    case PresetType::AllSettings: return "All settings";
    case PresetType::DeviceConfiguration: return "Device configuration";
    case PresetType::ActionConfiguration: return "Action configuration";
  }
  return "All settings";
}

PresetParts PresetParts::of(PresetType type) {
  return {type != PresetType::DeviceConfiguration, type != PresetType::ActionConfiguration};
}

PresetType PresetEntry::type() const {
  if (hasCommandPart && hasDevicePart) return PresetType::AllSettings;
  return hasCommandPart ? PresetType::ActionConfiguration : PresetType::DeviceConfiguration;
}

fs::path presetsFolder(const fs::path& programFolder) { return programFolder / std::string(kPresetsFolder); }

fs::path presetFile(const fs::path& programFolder, std::string_view name, bool devicePart) {
  return presetsFolder(programFolder) /
         pathFromUtf8(std::string(name) + std::string(devicePart ? kDevicePartExt : kCommandPartExt));
}

std::vector<PresetEntry> listPresets(const fs::path& programFolder, PresetType filter) {
  // Keyed case-insensitively: "A.vcp" and "a.vdp" are one preset on Windows.
  std::map<std::string, PresetEntry> found;
  std::error_code ec;
  for (fs::directory_iterator it(presetsFolder(programFolder), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string ext = lowerExtension(it->path());
    const bool command = ext == kCommandPartExt, device = ext == kDevicePartExt;
    if (!command && !device) continue;
    const std::string name = utf8FromPath(it->path().stem());
    PresetEntry& entry = found.try_emplace(toLower(name), PresetEntry{name}).first->second;
    (command ? entry.hasCommandPart : entry.hasDevicePart) = true;
  }
  const PresetParts covered = PresetParts::of(filter);
  std::vector<PresetEntry> list;
  for (auto& [key, entry] : found) {
    if (list.size() == kMaxPresetNames) break;
    if ((covered.command && entry.hasCommandPart) || (covered.device && entry.hasDevicePart)) list.push_back(entry);
  }
  return list;
}

std::optional<std::string> presetNameProblem(std::string_view name) {
  if (name.empty() || name.find_first_not_of(' ') == std::string_view::npos) return "Please enter a preset name.";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return "A preset name cannot contain any of the characters \\ / : * ? \" < > | .";
  }
  if (name.back() == '.' || name.back() == ' ') return "A preset name cannot end with a dot or a blank.";
  if (isReservedDeviceName(name)) return "\"" + std::string(name) + "\" is reserved by Windows and cannot name a preset.";
  return std::nullopt;
}

bool exportWouldOverwrite(const fs::path& programFolder, std::string_view name, PresetType type) {
  const PresetParts parts = PresetParts::of(type);
  return (parts.command && isFile(presetFile(programFolder, name, false))) ||
         (parts.device && isFile(presetFile(programFolder, name, true)));
}

bool deletePreset(const fs::path& programFolder, std::string_view name, PresetType filter) {
  const PresetParts parts = PresetParts::of(filter);
  bool ok = true;
  for (const bool device : {false, true}) {
    if (device ? !parts.device : !parts.command) continue;
    const fs::path file = presetFile(programFolder, name, device);
    std::error_code ec;
    if (isFile(file) && !fs::remove(file, ec)) ok = false;
    // The held-button settings belong to the command part.
    if (!device && isFile(presetHoldsFile(file)) && !fs::remove(presetHoldsFile(file), ec)) ok = false;
  }
  return ok;
}

std::optional<std::string> renamePreset(const fs::path& programFolder, std::string_view from, std::string_view to,
                                        PresetType filter) {
  if (auto problem = presetNameProblem(to)) return problem;
  const PresetParts parts = PresetParts::of(filter);
  std::vector<std::pair<fs::path, fs::path>> moves;
  for (const bool device : {false, true}) {
    if (device ? !parts.device : !parts.command) continue;
    const fs::path source = presetFile(programFolder, from, device);
    if (!isFile(source)) continue;
    const fs::path target = presetFile(programFolder, to, device);
    // Only a change of case may find the source itself under the new name.
    if (isFile(target) && !iequals(from, to))
      return "A preset named \"" + std::string(to) + "\" exists already.";
    moves.emplace_back(source, target);
    if (!device && isFile(presetHoldsFile(source))) moves.emplace_back(presetHoldsFile(source), presetHoldsFile(target));
  }
  if (moves.empty()) return std::nullopt;
  for (size_t i = 0; i < moves.size(); ++i) {
    std::error_code ec;
    renameFile(moves[i].first, moves[i].second, ec);
    if (!ec) continue;
    // Put back what moved, so that the preset keeps its files under one name.
    for (size_t j = 0; j < i; ++j) renameFile(moves[j].second, moves[j].first, ec);
    return "The preset could not be renamed.";
  }
  return std::nullopt;
}

PresetFileKind presetFileKind(const fs::path& file) {
  const std::string ext = lowerExtension(file);
  if (ext == kDevicePartExt) return PresetFileKind::DevicePart;
  if (ext == kCommandPartExt) return PresetFileKind::CommandPart;
  return PresetFileKind::Unsupported;
}

std::optional<fs::path> companionPart(const fs::path& file) {
  const PresetFileKind kind = presetFileKind(file);
  if (kind == PresetFileKind::Unsupported) return std::nullopt;
  fs::path other = file;
  other.replace_extension(pathFromUtf8(kind == PresetFileKind::DevicePart ? kCommandPartExt : kDevicePartExt));
  if (!isFile(other)) return std::nullopt;
  return other;
}

}  // namespace vexa
