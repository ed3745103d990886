#pragma once
// The presets folder as the user manages it: which presets exist and of
// what type, names that are safe as file names, and deleting and renaming
// without losing a file the user did not mean to touch.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

enum class PresetType { AllSettings, DeviceConfiguration, ActionConfiguration };

// "All settings", "Device configuration", "Action configuration".
std::string_view presetTypeName(PresetType type);

// Which of a preset's two files a type writes, or a filter covers.
struct PresetParts {
  bool command = false;  // ".vcp"
  bool device = false;   // ".vdp"
  static PresetParts of(PresetType type);
};

struct PresetEntry {
  std::string name;
  bool hasCommandPart = false;
  bool hasDevicePart = false;
  PresetType type() const;
};

inline constexpr size_t kMaxPresetNames = 100;

// The presets of the folder "presets" of `programFolder` that `filter`
// covers ("All settings": every one), sorted by name, at most 100.
std::vector<PresetEntry> listPresets(const std::filesystem::path& programFolder,
                                     PresetType filter = PresetType::AllSettings);
std::filesystem::path presetsFolder(const std::filesystem::path& programFolder);
std::filesystem::path presetFile(const std::filesystem::path& programFolder, std::string_view name, bool devicePart);

// Why `name` cannot name a preset (empty, a path, characters file names
// cannot hold, a device name), or nothing when it can.
std::optional<std::string> presetNameProblem(std::string_view name);

// Would saving `type` under `name` replace a file?
bool exportWouldOverwrite(const std::filesystem::path& programFolder, std::string_view name, PresetType type);

// Deletes the files of `name` that `filter` covers; missing ones are skipped.
// False when a file that exists could not be deleted.
bool deletePreset(const std::filesystem::path& programFolder, std::string_view name, PresetType filter);

// Renames the files of `from` that `filter` covers to `to`, all or none:
// an error text (nothing renamed) or nothing when done.
std::optional<std::string> renamePreset(const std::filesystem::path& programFolder, std::string_view from,
                                        std::string_view to, PresetType filter);

// A file chosen to load: by its extension, case-insensitively.
enum class PresetFileKind { DevicePart, CommandPart, Unsupported };
PresetFileKind presetFileKind(const std::filesystem::path& file);
// The other part beside `file` (".vcp" for ".vdp" and back), when it exists.
std::optional<std::filesystem::path> companionPart(const std::filesystem::path& file);

inline constexpr std::string_view kFileTypeNotSupported = "File type not supported.";

}  // namespace vexa
