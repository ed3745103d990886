#pragma once
// The program's option check boxes, kept together in one settings word
// ("Options"). Each is a bit of that word, never a value of its own, so that
// every place that loads or saves settings sees the same choices.
#include <cstdint>
#include <optional>

namespace vexa {

struct ProgramOptions {
  enum Bit : uint32_t {
    kStartWithWindows = 0x1,
    kHideOnStartup = 0x2,
    kShowShutdownWindow = 0x4,
    kDisableMultithreading = 0x8,
    kLeaveFocusAfterKeystroke = 0x10,
    kServerForOtherMachines = 0x20,
    kEnableLog = 0x80,
    kNoExitConfirmation = 0x200,
  };
  // What a first start uses: the shutdown window, and bit 6, which no option uses.
  static constexpr uint32_t kDefaultWord = 0x44;

  // The whole word is kept, so bits no check box shows survive a save.
  uint32_t word = kDefaultWord;

  constexpr bool has(Bit bit) const { return (word & bit) != 0; }
  constexpr void set(Bit bit, bool on) { word = on ? (word | bit) : (word & ~static_cast<uint32_t>(bit)); }
  bool operator==(const ProgramOptions&) const = default;
};

// The options of a stored word; a settings store without one gives the defaults.
constexpr ProgramOptions optionsFromWord(std::optional<uint32_t> stored) {
  return ProgramOptions{stored.value_or(ProgramOptions::kDefaultWord)};
}

}  // namespace vexa
