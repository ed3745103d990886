#pragma once
// The store in a device preset file: one section "<command>@<remote>" per
// command with its "Signature", and the number written as "Count" in
// "Plugin Config". Plug-ins differ in how a signature is written and which
// of their own sections a load passes over.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/kit/settings_store.h"
#include "plugins/store/command_store.h"

namespace vexa::store {

inline constexpr const char* kPresetConfigSection = "Plugin Config";

struct PresetFormat {
  enum class Radix { kDecimal, kHex };
  Radix signature = Radix::kDecimal;
  std::vector<std::string> ownSections;  // passed over on load (compared ignoring case)
};

std::string formatSignature(const PresetFormat& format, uint32_t code);
uint32_t parseSignature(const PresetFormat& format, std::string_view text);

// A preset file: its values, and its section names in file order.
class IPresetFile : public kit::ISettingsStore {
 public:
  virtual std::vector<std::string> sectionNames() const = 0;
};

// The section names of an INI text: trimmed lines that start with "[" and end with "]".
std::vector<std::string> sectionNamesOf(std::string_view text);

struct ImportedCommand {
  std::string remote, command;
  uint32_t code = 0;
};

struct PresetLoad {
  unsigned declared = 0;  // "Count" as the file says
  std::vector<ImportedCommand> imported;
  bool complete() const { return declared == imported.size(); }
};

// The number of commands written.
unsigned saveCommands(IPresetFile& file, const PresetFormat& format, const CCommandStore& store);
// Empties the store and fills it from the file; nothing is read when "Count" is 0.
PresetLoad loadCommands(const IPresetFile& file, const PresetFormat& format, CCommandStore& store);

}  // namespace vexa::store
