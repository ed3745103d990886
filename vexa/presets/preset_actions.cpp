#include "vexa/presets/preset_actions.h"

#include <system_error>

#include "vexa/base/utf8_path.h"
#include "vexa/presets/config_files.h"

namespace vexa {

namespace fs = std::filesystem;

namespace {

bool yes(const PresetActions& a, std::string_view question) { return a.ask && a.ask(question); }

void offerExport(const PresetActions& a) {
  if (a.settingsUnsaved && a.settingsUnsaved() && yes(a, kUnsavedQuestion) && a.exportFirst) a.exportFirst();
}

bool loadCommands(const PresetActions& a, const fs::path& file) {
  if (a.status) a.status(kLoadingStatus);
  return a.loadCommandPart && a.loadCommandPart(file);
}

bool loadDevice(const PresetActions& a, const fs::path& file) { return a.loadDevicePart && a.loadDevicePart(file); }

LoadOutcome finish(const PresetActions& a, bool loaded) {
  if (!loaded) return LoadOutcome::NothingLoaded;
  if (a.applyAndStore) a.applyAndStore();
  return LoadOutcome::Loaded;
}

}  // namespace

ExportOutcome exportPreset(const fs::path& programFolder, std::string_view name, PresetType type, bool checkExisting,
                           const PresetActions& actions) {
  if (auto problem = presetNameProblem(name)) {
    if (actions.warn) actions.warn(*problem);
    return ExportOutcome::InvalidName;
  }
  if (checkExisting && exportWouldOverwrite(programFolder, name, type) && !yes(actions, kOverwriteQuestion))
    return ExportOutcome::Declined;
  std::error_code ec;
  fs::create_directories(presetsFolder(programFolder), ec);
  const PresetParts parts = PresetParts::of(type);
  // Each part replaces its file whole, so a failed write leaves the old one.
  bool ok = true;
  if (parts.device) ok = actions.saveDevicePart && actions.saveDevicePart(presetFile(programFolder, name, true));
  if (parts.command)
    ok = actions.saveCommandPart && actions.saveCommandPart(presetFile(programFolder, name, false)) && ok;
  return ok ? ExportOutcome::Written : ExportOutcome::Failed;
}

LoadOutcome loadPresetFile(const fs::path& file, const PresetActions& actions) {
  const PresetFileKind kind = presetFileKind(file);
  if (kind == PresetFileKind::Unsupported) {
    if (actions.warn) actions.warn(kFileTypeNotSupported);
    return LoadOutcome::Unsupported;
  }
  offerExport(actions);
  const auto companion = companionPart(file);
  bool loaded = false;
  if (kind == PresetFileKind::DevicePart) {
    if (companion && yes(actions, kActionCompanionQuestion)) loaded = loadCommands(actions, *companion);
    loaded = loadDevice(actions, file) || loaded;
  } else {
    const bool both = companion && yes(actions, kDeviceCompanionQuestion);
    loaded = loadCommands(actions, file);
    if (both) loaded = loadDevice(actions, *companion) || loaded;
  }
  return finish(actions, loaded);
}

LoadOutcome importPreset(const fs::path& programFolder, std::string_view name, const PresetActions& actions,
                         bool askUnsaved) {
  // A name that is a path would read files outside the presets folder.
  if (presetNameProblem(name)) return LoadOutcome::NothingLoaded;
  if (askUnsaved) offerExport(actions);
  const auto paths = presetPaths(programFolder, name, true);
  if (!paths) return LoadOutcome::NothingLoaded;
  bool loaded = false;
  if (!paths->commandPart.empty()) loaded = loadCommands(actions, paths->commandPart);
  if (!paths->devicePart.empty()) loaded = loadDevice(actions, paths->devicePart) || loaded;
  return finish(actions, loaded);
}

bool namesPresetFile(std::string_view argument) {
  if (argument.find_first_of("\\/:") != std::string_view::npos) return true;
  const auto dot = argument.rfind('.');
  return dot != std::string_view::npos &&
         presetFileKind(pathFromUtf8("preset" + std::string(argument.substr(dot)))) != PresetFileKind::Unsupported;
}

LoadOutcome loadPresetAtStart(const fs::path& file, const PresetActions& actions) {
  const PresetFileKind kind = presetFileKind(file);
  if (kind == PresetFileKind::Unsupported) {
    if (actions.warn) actions.warn(kFileTypeNotSupported);
    return LoadOutcome::Unsupported;
  }
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    if (actions.warn) actions.warn(kPresetFileMissing);
    return LoadOutcome::NothingLoaded;
  }
  const auto companion = companionPart(file);
  const fs::path commandPart = kind == PresetFileKind::CommandPart ? file : companion.value_or(fs::path());
  const fs::path devicePart = kind == PresetFileKind::DevicePart ? file : companion.value_or(fs::path());
  bool loaded = false;
  if (!commandPart.empty()) loaded = loadCommands(actions, commandPart);
  if (!devicePart.empty()) loaded = loadDevice(actions, devicePart) || loaded;
  return finish(actions, loaded);
}

}  // namespace vexa
