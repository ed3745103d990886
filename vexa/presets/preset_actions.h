#pragma once
// Saving the current settings as a preset and loading one back: the
// questions, in their order, and which parts are written or read. The
// program supplies the parts' readers and writers and answers the questions.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "vexa/presets/preset_store.h"

namespace vexa {

inline constexpr std::string_view kOverwriteQuestion = "An existing preset with the selected name was found. Overwrite?";
inline constexpr std::string_view kUnsavedQuestion =
    "The current settings are not saved.\nSave as preset before loading new configuration?";
inline constexpr std::string_view kActionCompanionQuestion =
    "A corresponding action preset was found.\nImport this preset as well?";
inline constexpr std::string_view kDeviceCompanionQuestion =
    "A corresponding device preset was found.\nImport this preset as well?";
inline constexpr std::string_view kLoadingStatus = "Loading configuration...";
inline constexpr std::string_view kPresetFileMissing = "The preset file given with /p was not found.";

struct PresetActions {
  // Write the current command tree or device into a file; false after telling the user.
  std::function<bool(const std::filesystem::path&)> saveCommandPart;
  std::function<bool(const std::filesystem::path&)> saveDevicePart;
  // Read a part into the running program; false when nothing could be loaded.
  std::function<bool(const std::filesystem::path&)> loadCommandPart;
  std::function<bool(const std::filesystem::path&)> loadDevicePart;
  // Are there settings the user has not saved (the Apply button)?
  std::function<bool()> settingsUnsaved;
  // Runs the export wizard for "All settings" before a load.
  std::function<void()> exportFirst;
  // Applies and stores the settings after a load.
  std::function<void()> applyAndStore;
  std::function<void(std::string_view)> status;
  // A Yes/No question (true: Yes), and a warning.
  std::function<bool(std::string_view)> ask;
  std::function<void(std::string_view)> warn;
};

enum class ExportOutcome { Written, Declined, InvalidName, Failed };

// The wizard's finish. With `checkExisting` (a new name typed in) the user
// is asked before files this type writes are replaced. Only the preset's
// files are written: the current settings stay as saved or unsaved as they were.
ExportOutcome exportPreset(const std::filesystem::path& programFolder, std::string_view name, PresetType type,
                           bool checkExisting, const PresetActions& actions);

enum class LoadOutcome { Loaded, Unsupported, NothingLoaded };

// A file chosen in the "Select preset" dialog.
LoadOutcome loadPresetFile(const std::filesystem::path& file, const PresetActions& actions);
// A preset by name ("&Import preset", "/p"). `askUnsaved` false skips the
// question (nothing is unsaved at start).
LoadOutcome importPreset(const std::filesystem::path& programFolder, std::string_view name,
                         const PresetActions& actions, bool askUnsaved = true);

// "/p": does the argument name a file (a path, or a preset extension) rather
// than a preset of the presets folder?
bool namesPresetFile(std::string_view argument);
// "/p" with a file: that part and the other part beside it, without asking
// (nothing is unsaved at start); the settings are stored at once. A missing
// file is a warning, not a silent start with other settings.
LoadOutcome loadPresetAtStart(const std::filesystem::path& file, const PresetActions& actions);

}  // namespace vexa
