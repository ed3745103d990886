#include "vexa/presets/win/preset_load.h"

#include <commdlg.h>

#include "vexa/presets/preset_store.h"
#include "vexa/presets/win/export_wizard.h"
#include "vexa/winlib/unicode.h"

namespace vexa::presets::win {

namespace {

// "a|b||" to the NUL-separated list the file dialog wants.
std::wstring dialogFilter(std::string_view filter) {
  std::wstring wide = vexa::win::toWide(filter);
  for (auto& c : wide)
    if (c == L'|') c = L'\0';
  return wide;
}

PresetActions interactiveActions(HWND owner, const PresetUi& ui) {
  PresetActions actions = withMessageBoxes(ui.actions, owner);
  if (!actions.exportFirst)
    actions.exportFirst = [owner, &ui] { runExportWizard(owner, ui, PresetType::AllSettings); };
  return actions;
}

}  // namespace

std::optional<std::filesystem::path> choosePresetFile(HWND owner, const std::filesystem::path& programFolder) {
  const std::wstring filter = dialogFilter(kPresetFilter);
  const std::wstring folder = presetsFolder(programFolder).wstring();
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrTitle = L"Select preset";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::filesystem::path(file);
}

LoadOutcome loadPresetInteractive(HWND owner, const PresetUi& ui) {
  const auto file = choosePresetFile(owner, ui.programFolder);
  if (!file) return LoadOutcome::NothingLoaded;
  return loadPresetFile(*file, interactiveActions(owner, ui));
}

LoadOutcome loadPresetByName(HWND owner, const PresetUi& ui, std::string_view name, bool askUnsaved) {
  return importPreset(ui.programFolder, name, interactiveActions(owner, ui), askUnsaved);
}

std::vector<std::string> presetMenuNames(const std::filesystem::path& programFolder) {
  std::vector<std::string> names;
  for (const auto& preset : listPresets(programFolder)) names.push_back(preset.name);
  return names;
}

}  // namespace vexa::presets::win
