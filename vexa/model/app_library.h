#pragma once
// The library of application layouts (".vap" files in the "apps" folder),
// the locations file "apps.loc", and placeholder file names such as
// "%player.exe%" that let a layout find its application on another machine.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/names.h"
#include "vexa/codec/ini_file.h"
#include "vexa/codec/profile_tree.h"

namespace vexa {

inline constexpr std::string_view kAppsFolder = "apps";
inline constexpr std::string_view kLayoutExt = ".vap";
inline constexpr std::string_view kLocationsFile = "apps.loc";
inline constexpr std::string_view kApplicationKey = "Application";
inline constexpr std::string_view kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr std::string_view kNotAvailable = "n/a";

bool isPlaceholder(std::string_view fileName);

// A command is valid when some layout holds an action of a catalogue type.
bool isCommandValid(const CCmdArray& command);
// A folder is valid when it is the special folder, or its file is found.
bool isFolderValid(const APPFOLDER& folder, const std::function<bool(std::string_view)>& fileFound);

// ---- apps.loc ----------------------------------------------------------------

struct ShortcutTarget {
  std::string path;        // short form of the target
  std::string dataName;    // file name from the target's file data
  bool exists = false;
};

// Builds the locations file from the App Paths key names (in enumeration
// order) and the targets of the Start-menu shortcuts.
CIniFile buildLocations(const std::vector<std::string>& appPathKeys, const std::vector<ShortcutTarget>& shortcuts);

// Reads a registry string: root name ("HKEY_LOCAL_MACHINE"...), key path, value name.
using RegistryReader =
    std::function<std::optional<std::string>(std::string_view root, std::string_view key, std::string_view value)>;

// Non-interactive resolution: the name itself when it is no placeholder, the
// registry entry, else the location, else "n/a".
std::string resolvePlaceholder(std::string_view fileName, const CIniFile& locations, const RegistryReader& registry);

inline constexpr std::string_view kLocateCancelled =
    "Some application commands require a valid filename.\nDon't forget to verify the settings for each application "
    "command.";

// What the "Locate" dialog accepts for a typed path: the file itself, or,
// without an extension, the file with ".exe" or ".com"; an empty box means
// the application is not installed ("n/a"). Nothing: ask again.
std::optional<std::string> acceptLocatedPath(std::string_view typed,
                                             const std::function<bool(std::string_view)>& exists);

// Interactive resolution: as resolvePlaceholder, then `ask` (the dialog)
// when that gave nothing usable. `ask` returns nothing when cancelled, and
// the placeholder's name without its percent signs is used.
std::string resolvePlaceholderInteractively(std::string_view fileName, const CIniFile& locations,
                                            const RegistryReader& registry,
                                            const std::function<bool(std::string_view)>& exists,
                                            const std::function<std::optional<std::string>(std::string_view)>& ask);

// ---- layouts -------------------------------------------------------------------

std::filesystem::path layoutFile(const std::filesystem::path& programFolder, std::string_view folderName);
// Base names of the ".vap" files, in directory order.
std::vector<std::string> listLayouts(const std::filesystem::path& programFolder);
// The layout file whose base name equals `folderName` ignoring case.
std::optional<std::filesystem::path> findLayout(const std::filesystem::path& programFolder, std::string_view folderName);

// "Application"/"Name" and the folder written for export.
void writeLayout(const CCmdItem& folderItem, CProfileTree& keys);
void exportLayout(const CCmdItem& folderItem, const std::filesystem::path& file,
                  const ICodePage& codePage);  // binary, atomic

// Replaces the folder's commands with the layout's. Placeholders are
// resolved through `resolve`, once per distinct placeholder. Returns false
// when the layout holds no folder of that name.
bool loadLayout(CCmdTree& tree, CCmdItem& folderItem, const CProfileTree& layout,
                const std::function<std::string(std::string_view placeholder)>& resolve);

}  // namespace vexa
