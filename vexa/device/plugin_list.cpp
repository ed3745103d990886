#include "vexa/device/plugin_list.h"

#include <system_error>

#include "vexa/base/strings.h"
#include "vexa/base/utf8_path.h"

namespace vexa::device {

namespace fs = std::filesystem;

PluginEntry makeFirstGenerationEntry(const abi::PlugInfoRecord& info, fs::path modulePath, const ICodePage& ansi) {
  PluginEntry entry;
  entry.deviceNames.push_back(ansi.toUtf8(std::string_view(info.displayName, abi::fieldLength(info.displayName))));
  entry.modulePath = std::move(modulePath);
  entry.generation = PluginGeneration::First;
  entry.selectorKind = abi::kPlugInFills;
  entry.capabilities = abi::Capability::kRecognisesButtons;
  return entry;
}

PluginEntry makeSecondGenerationEntry(const abi::DeviceInfoRecord& info, fs::path modulePath, const ICodePage& ansi) {
  PluginEntry entry;
  for (const std::string& name : parseDeviceNameList(info.deviceNames)) entry.deviceNames.push_back(ansi.toUtf8(name));
  entry.modulePath = std::move(modulePath);
  entry.generation = PluginGeneration::Second;
  entry.selectorKind = info.selectorKind;
  entry.capabilities = info.capabilities;
  return entry;
}

std::vector<std::string> parseDeviceNameList(const char* list, size_t limit) {
  std::vector<std::string> names;
  if (!list) return names;
  size_t i = 0;
  while (i < limit && list[i] != '\0') {
    const size_t start = i;
    while (i < limit && list[i] != '\0') ++i;
    names.emplace_back(list + start, i - start);
    ++i;  // past the terminator
  }
  return names;
}

std::vector<std::string> allDeviceNames(const std::vector<PluginEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.insert(names.end(), e.deviceNames.begin(), e.deviceNames.end());
  return names;
}

std::optional<size_t> findEntryByDeviceName(const std::vector<PluginEntry>& entries, std::string_view deviceName) {
  for (size_t i = 0; i < entries.size(); ++i)
    for (const auto& name : entries[i].deviceNames)
      if (iequals(name, deviceName)) return i;
  return std::nullopt;
}

SelectorVisibility selectorVisibility(uint32_t capabilities) {
  using namespace abi::Capability;
  SelectorVisibility v;
  v.caption1 = has(capabilities, kSelector1Caption);
  v.list1 = has(capabilities, kSelector1);
  v.selector2 = has(capabilities, kSelector2);
  v.setupButton = has(capabilities, kSetupButton);
  return v;
}

std::string_view hostSelectorCaption(uint32_t selectorKind) {
  switch (selectorKind) {
    case abi::kSerialPorts:
      return "COM Port";
    case abi::kParallelPorts:
      return "LPT Port";
    default:
      return {};
  }
}

std::string_view portPrefix(uint32_t selectorKind) {
  switch (selectorKind) {
    case abi::kSerialPorts:
      return "COM";
    case abi::kParallelPorts:
      return "LPT";
    default:
      return {};
  }
}

std::string moduleFileName(std::string_view modulePath) {
  const size_t cut = modulePath.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? modulePath : modulePath.substr(cut + 1));
}

std::string moduleStem(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

SettingsFileLocation settingsFileLocation(const std::optional<fs::path>& appData, const fs::path& programFolder,
                                          std::string_view fileName) {
  const fs::path name = pathFromUtf8(moduleStem(fileName) + ".vdp");
  SettingsFileLocation location;
  if (!appData || appData->empty()) {
    location.file = programFolder / name;
    return location;
  }
  location.file = *appData / "Vexa" / name;
  location.legacy = programFolder / name;
  return location;
}

void prepareSettingsFile(const SettingsFileLocation& location) {
  std::error_code ec;
  fs::create_directories(location.file.parent_path(), ec);
  if (!location.legacy || !fs::exists(*location.legacy, ec)) return;
  if (!fs::exists(location.file, ec)) {
    if (!fs::copy_file(*location.legacy, location.file, fs::copy_options::skip_existing, ec) || ec) return;
  }
  fs::remove(*location.legacy, ec);
}

std::string_view initFailureMessage(int result) {
  switch (result) {
    case abi::kInitInUse:
      return "Initialization failed.\nDevice is in use by another application.";
    case abi::kInitNoResponse:
      return "Initialization failed.\nNo response from device.";
    case abi::kInitBadResponse:
      return "Initialization failed.\nBad response from device.";
    default:
      return {};
  }
}

}  // namespace vexa::device
