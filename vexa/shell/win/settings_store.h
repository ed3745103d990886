#pragma once
// Load all and save all of the program's own settings: its registry key, the
// Run value of "Start with windows" and the App Paths entry.
#include <windows.h>

#include <filesystem>
#include <string>

#include "vexa/base/program_settings.h"

namespace vexa::shell {

// Where the values live; tests point the machine-wide keys elsewhere.
struct SettingsLocation {
  HKEY userRoot = HKEY_CURRENT_USER;
  std::wstring programKey = L"Software\\Marlix\\Vexa";
  HKEY machineRoot = HKEY_LOCAL_MACHINE;
  std::wstring runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  std::wstring appPathsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
};

inline constexpr const wchar_t* kRunValueName = L"Vexa";

// Missing values keep their defaults; "Start with windows" is whether the Run value exists.
ProgramSettings loadProgramSettings(const SettingsLocation& where = {});

// Writes "FirstRun" = 0, the App Paths entry, "Options", "ServerPort",
// "RepThreshold", "TypematicDelay", "ComCtl32VerWarned" and the Run value (or its
// absence). Every value is tried; false when the program's key could not be written.
bool saveProgramSettings(const ProgramSettings& settings, const std::filesystem::path& executable,
                         const SettingsLocation& where = {});

// One value at start-up, before anything else is saved.
bool storeComCtlWarned(const SettingsLocation& where = {});
// "FirstRun" = 0: the first start's question is asked once.
bool storeFirstRunDone(const SettingsLocation& where = {});

}  // namespace vexa::shell
