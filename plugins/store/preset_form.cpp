#include "plugins/store/preset_form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vexa::store {

namespace {

constexpr const char* kCountKey = "Count";
constexpr const char* kSignatureKey = "Signature";

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool isOwnSection(const PresetFormat& format, std::string_view section) {
  return std::any_of(format.ownSections.begin(), format.ownSections.end(),
                     [&](const std::string& own) { return equalNoCase(own, section); });
}

}  // namespace

std::string formatSignature(const PresetFormat& format, uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, format.signature == PresetFormat::Radix::kHex ? "%04x" : "%u", code);
  return text;
}

uint32_t parseSignature(const PresetFormat& format, std::string_view text) {
  const std::string copy(trim(text));
  return static_cast<uint32_t>(std::strtoul(copy.c_str(), nullptr, format.signature == PresetFormat::Radix::kHex ? 16 : 10));
}

std::vector<std::string> sectionNamesOf(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = trim(text.substr(0, end));
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      names.emplace_back(line.substr(1, line.size() - 2));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return names;
}

unsigned saveCommands(IPresetFile& file, const PresetFormat& format, const CCommandStore& store) {
  unsigned written = 0;
  for (const std::string& remote : store.remoteNames()) {
    for (const CommandNode& node : store.commands(remote).value_or(CommandList{})) {
      file.write(node.name + "@" + remote, kSignatureKey, formatSignature(format, node.code));
      ++written;
    }
  }
  file.write(kPresetConfigSection, kCountKey, std::to_string(written));
  return written;
}

PresetLoad loadCommands(const IPresetFile& file, const PresetFormat& format, CCommandStore& store) {
  PresetLoad load;
  load.declared = static_cast<unsigned>(std::strtoul(file.read(kPresetConfigSection, kCountKey, "0").c_str(), nullptr, 10));
  store.clear();
  if (load.declared == 0) return load;
  const std::string fallback = format.signature == PresetFormat::Radix::kHex ? "000000000000" : "0";
  for (const std::string& section : file.sectionNames()) {
    if (isOwnSection(format, section)) continue;
    const auto at = section.find('@');
    if (at == std::string::npos || at == 0 || at + 1 == section.size()) continue;
    ImportedCommand command{section.substr(at + 1), section.substr(0, at), 0};
    command.code = parseSignature(format, file.read(section, kSignatureKey, fallback));
    store.appendCommand(command.remote, command.command, command.code);
    load.imported.push_back(std::move(command));
  }
  return load;
}

}  // namespace vexa::store
