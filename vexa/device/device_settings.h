#pragma once
// The host's sections of a second-generation plug-in's ".vdp" settings file
//: "Device Config", one section per remote and one per learned
// command named "command@remote". The plug-in's own sections share the file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/device/code_store.h"
#include "vexa/codec/ini_file.h"

namespace vexa::device {

inline constexpr std::string_view kDeviceConfigSection = "Device Config";
inline constexpr std::string_view kDeviceNameKey = "DeviceName";
inline constexpr std::string_view kSelector1Key = "Selector1";
inline constexpr std::string_view kSelector2Key = "Selector2";

// A drop-down's stored choice: the key is the selector's caption, or "Selector1" /
// "Selector2" when the caption is empty.
struct SelectorChoice {
  std::string key;
  std::string value;
};

struct HostSettings {
  std::string deviceName;
  std::optional<SelectorChoice> selector1;  // written only with capability bits 0 and 1
  std::optional<SelectorChoice> selector2;  // written only with capability bits 0, 1 and 2
};

// The key a selector's choice is stored under.
std::string selectorKey(std::string_view caption, int which /* 1 or 2 */);

// Adds the host's sections to `ini` (which holds what the plug-in wrote), in the
// Part's order; integers in decimal.
void writeHostSections(CIniFile& ini, const HostSettings& settings, const CCodeStore& store);

// One remote's section and one section per learned button, appended.
void writeRemoteSections(CIniFile& ini, std::string_view remoteName, const DeviceRemote& remote);

// Section names in file order as the private-profile functions list them: trimmed
// lines that begin with "[" and end with "]"; lines shorter than 2 characters skipped.
std::vector<std::string> sectionNamesOf(std::string_view text);

// Replaces the store's contents with the learned codes and remote settings of the
// file text. Sections without "@" (or with an empty command part) only supply
// remote settings; "Device Config" is skipped.
void readCodeStore(std::string_view text, CCodeStore& store);

// The stored choice of a selector, empty when none was saved.
std::string readSelectorChoice(const CIniFile& ini, std::string_view caption, int which);

}  // namespace vexa::device
