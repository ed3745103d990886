#pragma once
// Loading a preset: chosen in a file dialog, or by name.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "vexa/presets/win/preset_ui.h"

namespace vexa::presets::win {

inline constexpr const char* kPresetFilter =
    "Preset files|*.vdp;*.vcp;*.pps;*.vps|Device configuration preset|*.vdp;*.pps|"
    "Command configuration preset|*.vcp;*.vps||";

// "Select preset" in the presets folder; nothing on Cancel.
std::optional<std::filesystem::path> choosePresetFile(HWND owner, const std::filesystem::path& programFolder);

// The file dialog, then the questions and loads; `exportFirst` of the
// actions runs the wizard when empty. Loaded when anything was loaded.
LoadOutcome loadPresetInteractive(HWND owner, const PresetUi& ui);
// "&Import preset" and "/p": by name, without a file dialog.
LoadOutcome loadPresetByName(HWND owner, const PresetUi& ui, std::string_view name, bool askUnsaved = true);

// The names the "&Presets" menu lists.
std::vector<std::string> presetMenuNames(const std::filesystem::path& programFolder);

}  // namespace vexa::presets::win
