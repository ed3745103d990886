#include "vexa/presets/legacy_config.h"

#include "vexa/base/strings.h"
#include "vexa/model/action_definition.h"
#include "vexa/model/names.h"

namespace vexa {

namespace {
constexpr long long kBytesPerCommand = 500;
constexpr std::string_view kLegacyStartupCommand = "startup commands";
}  // namespace

bool isLegacyConfig(const CIniFile& ini) {
  auto version = ini.find(kLegacySection, "FormatVersion");
  return version && *version == "1.0";
}

std::optional<LegacySectionName> splitLegacySectionName(std::string_view name) {
  const size_t first = name.find_first_of("@#");
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = name.find('#', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  LegacySectionName parts{std::string(name.substr(0, first)), std::string(name.substr(first + 1, second - first - 1)),
                          std::string(name.substr(second + 1))};
  if (parts.command.empty() || parts.remote.empty()) return std::nullopt;
  return parts;
}

std::vector<std::string> legacySectionNames(const CIniFile& ini) {
  const long long count = ini.getInt(kLegacySection, "CmdCount", 0);
  std::vector<std::string> names;
  if (count <= 0) return names;
  // The list ends with a second NUL, so one byte of the buffer is never a name's.
  const long long usable = count * kBytesPerCommand - 1;
  long long used = 0;
  for (auto& name : ini.sectionNames()) {
    used += static_cast<long long>(name.size()) + 1;
    if (used > usable) break;
    names.push_back(std::move(name));
  }
  return names;
}

namespace {

CCmdArray& commandFor(CCmdTree& tree, const LegacySectionName& parts) {
  std::string remote = parts.remote;
  std::string command = parts.command;
  if (iequals(command, kLegacyStartupCommand)) {
    remote = std::string(kStartupMacro);
    command = std::string(kStartupActions);
  }
  CCmdItem* remoteItem = tree.findRemote(remote);
  if (!remoteItem) remoteItem = &tree.insertRemote(remote);
  if (CCmdItem* existing = tree.findChild(*remoteItem, command); existing && existing->command())
    return *existing->command();
  return *tree.appendCommand(*remoteItem, std::make_unique<CCmdArray>(command)).command();
}

std::string actionName(const CCmdArray& layout, const std::string& type) {
  const std::string base = type.empty() || hasReservedChar(type) ? std::string("Action") : type;
  return makeUniqueName(base, [&](std::string_view candidate) {
    for (const auto& a : layout.actions())
      if (iequals(a->name, candidate)) return true;
    return false;
  });
}

}  // namespace

LegacyImport importLegacyConfig(const CIniFile& ini, CCmdTree& tree) {
  LegacyImport result;
  result.plugIn = ini.getString(kLegacySection, "PlugIn");
  for (const std::string& section : legacySectionNames(ini)) {
    if (iequals(section, kLegacySection)) continue;
    const auto parts = splitLegacySectionName(section);
    if (!parts || hasReservedChar(parts->command) || hasReservedChar(parts->remote)) continue;
    CCmdArray& command = commandFor(tree, *parts);
    CCmdArray& layout = *command.activeLayout();
    auto action = std::make_unique<CMD>();
    action->typeName = ini.getString(section, "Action");
    action->name = actionName(layout, action->typeName);
    action->fileName = ini.getString(section, "Filename");
    action->param = ini.getString(section, "Param");
    applyDelay(*action, ini.getInt(section, "Delay", 0));
    layout.appendAction(std::move(action));
    if (ini.getInt(section, "bRepeat", 0) > 0) command.setFlags(command.flags() | CCmdArray::kAllowRepeat);
    if (auto hotKey = ini.find(section, "HotKey")) command.setHotKey(static_cast<uint32_t>(parseInteger(*hotKey)));
    ++result.actions;
  }
  return result;
}

}  // namespace vexa
