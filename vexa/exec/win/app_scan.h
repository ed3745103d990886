#pragma once
// The application scan: the App Paths key names and the Start-menu
// shortcuts of this machine, written to "apps.loc" so that layouts made
// elsewhere find their applications here; and the registry reads that
// placeholder resolution needs.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "vexa/model/app_library.h"

namespace vexa::exec {

// Subkey names of HKLM's App Paths key, in enumeration order; nothing when
// the key cannot be opened.
std::optional<std::vector<std::string>> appPathKeyNames();

// The user's Start menu (the "Start Menu" shell-folders value) and the
// common one, where known.
std::vector<std::filesystem::path> startMenuFolders();

// Every shortcut below `folder`: subfolders first, then its "*.lnk" files;
// shortcuts that cannot be loaded or resolved are left out. Needs the
// component runtime on this thread.
void scanShortcuts(const std::filesystem::path& folder, std::vector<ShortcutTarget>& targets);

// Writes "<program folder>\apps\apps.loc" from the registry and the given
// Start-menu folders. False, leaving the file as it was, when the App Paths
// key cannot be read.
bool buildLocationsFile(const std::filesystem::path& programFolder,
                        const std::vector<std::filesystem::path>& startMenus);
bool buildLocationsFile(const std::filesystem::path& programFolder);

// Reads a string or expandable-string value (not expanded) for placeholder
// resolution.
RegistryReader registryReader();

}  // namespace vexa::exec
