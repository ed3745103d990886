#pragma once
// The plug-in list of the device host and the decisions around it that need no
// Windows: entries, device names, selection, selector visibility, the
// settings file's place and the user's messages.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::device {

// The two contracts a plug-in can follow: the first generation recognises buttons
// and draws its own window; the second delivers codes for the host to match.
enum class PluginGeneration { First = 1, Second = 2 };

// One plug-in library found in the devices folder.
struct PluginEntry {
  std::vector<std::string> deviceNames;  // UTF-8; second generation: its list; first: the display name
  std::filesystem::path modulePath;
  PluginGeneration generation = PluginGeneration::Second;
  uint32_t selectorKind = abi::kPlugInFills;
  uint32_t capabilities = abi::Capability::kRecognisesButtons;
  // Zero-filled when the entry is made; the plug-in's, so ANSI. While the plug-in is
  // loaded its adapter holds the live record; this copy is what a reload starts from.
  abi::DeviceRecord record{};
  std::filesystem::path configFile;      // empty until settings were read or written
};

// The entry a first-generation plug-in gets from a PlugInfoRecord that reported 596:
// the display name (which the plug-in need not have terminated) as its only name.
// Plug-ins name their devices in `ansi`, the system's code page.
PluginEntry makeFirstGenerationEntry(const abi::PlugInfoRecord& info, std::filesystem::path modulePath,
                                     const ICodePage& ansi);
// The entry of a second-generation plug-in from its DeviceInfoRecord (size 16).
PluginEntry makeSecondGenerationEntry(const abi::DeviceInfoRecord& info, std::filesystem::path modulePath,
                                      const ICodePage& ansi);

// The names of a double-NUL-terminated list. Reading stops at the empty name or
// after `limit` bytes, whichever comes first, so an unterminated list cannot run on.
inline constexpr size_t kDeviceNameListLimit = 64 * 1024;
std::vector<std::string> parseDeviceNameList(const char* list, size_t limit = kDeviceNameListLimit);

// All device names of all entries, entry by entry in list order.
std::vector<std::string> allDeviceNames(const std::vector<PluginEntry>& entries);

// The first entry (in scan order) whose names contain deviceName, case-insensitively.
std::optional<size_t> findEntryByDeviceName(const std::vector<PluginEntry>& entries, std::string_view deviceName);

// Which controls of the device page's "Hardware Setup" area the capability flags show.
struct SelectorVisibility {
  bool caption1 = false;
  bool list1 = false;
  bool selector2 = false;  // caption and list
  bool setupButton = false;
};
SelectorVisibility selectorVisibility(uint32_t capabilities);

// The caption the host gives selector 1 of a kind it fills itself ("COM Port",
// "LPT Port"), empty for kind 3; and the port name prefix ("COM", "LPT").
std::string_view hostSelectorCaption(uint32_t selectorKind);
std::string_view portPrefix(uint32_t selectorKind);
inline constexpr int kPortsProbed = 8;

// The file-name part of a module path: after the last backslash or slash.
std::string moduleFileName(std::string_view modulePath);
// Without its extension.
std::string moduleStem(std::string_view moduleFileName);

// Where a second-generation plug-in keeps its settings: "<appData>\Vexa\<stem>.vdp",
// or "<programFolder>\<stem>.vdp" without a per-user folder. `legacy` names the
// program-folder file to move into the per-user folder when one exists there.
struct SettingsFileLocation {
  std::filesystem::path file;
  std::optional<std::filesystem::path> legacy;
};
SettingsFileLocation settingsFileLocation(const std::optional<std::filesystem::path>& appData,
                                          const std::filesystem::path& programFolder,
                                          std::string_view moduleFileName);

// Creates the folder; a legacy file is copied to the per-user place (never over an
// existing per-user file) and then deleted. A failed copy leaves it where it was.
void prepareSettingsFile(const SettingsFileLocation& location);

// The message box text for an OnInit result, empty for results other than 1 to 3.
std::string_view initFailureMessage(int result);
inline constexpr std::string_view kMsgNotProperlyInitialised = "Device not properly initialized. Check settings.";
inline constexpr std::string_view kMsgNoPlugInLoaded = "No PlugIn loaded.";
inline constexpr std::string_view kMsgDeviceDeactivated = "Device deactivated";
inline constexpr std::string_view kMsgTerminatingSession = "Terminating plugin session...";
inline constexpr std::string_view kMsgKeyboardModeReady = "Keyboard mode ready";
inline constexpr std::string_view kMsgCouldNotLoadPlugin = "Could not load plugin library";
inline constexpr std::string_view kMsgSaveBeforeUnloading = "Save settings before unloading Device?";
inline constexpr std::string_view kKeyboardDevice = "Keyboard";

}  // namespace vexa::device
