#pragma once
// What the Action Definition dialog shows in its fields, decided without a
// window: the keystroke table's lines, key tokens and which choice a
// drop-down list keeps when it is refilled.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::string_view kKeyTableFile = "vk.key";
inline constexpr std::string_view kMsgNoKeyTable = "Could not open keycodes file!";
inline constexpr std::string_view kDialUpNotAvailable = "Not available";
inline constexpr std::string_view kWindowPickerTitle = "Available windows";
inline constexpr std::string_view kKeystrokeTableTitle = "Keystroke Table";
inline constexpr std::string_view kMsgSelectWindowFirst = "Please select an existing window first";

// One line of "vk.key": a name, a hexadecimal key code and a description.
struct KeyTableEntry {
  std::string name;
  unsigned code = 0;
  std::string description;
  bool operator==(const KeyTableEntry&) const = default;
};

// Lines beginning with "#" and lines without a valid code are skipped.
std::vector<KeyTableEntry> parseKeyTable(std::string_view text);
// "0x%02X".
std::string keyCodeText(unsigned code);

// The keystroke token of a key pressed in a hot-key field: "{" + modifier
// letters (A, C, S) + "0x%02x}"; nothing for a modifier key alone.
namespace KeyModifier {
inline constexpr unsigned kShift = 1;
inline constexpr unsigned kControl = 2;
inline constexpr unsigned kAlt = 4;
}  // namespace KeyModifier
std::optional<std::string> keystrokeToken(unsigned modifiers, unsigned virtualKey);

// Choices in their order, without repeats (drivers report a mode per flag set).
void appendUnique(std::vector<std::string>& choices, std::string choice);

// After a refill: the current text when it is one of the choices, else the
// first choice; nothing for an empty list.
std::optional<size_t> choiceToKeep(const std::vector<std::string>& choices, std::string_view current);

}  // namespace vexa
