#pragma once
// Window names in actions, matched against the main window's window list:
// items read "title (class)"; "*" and "?" are wildcards; " (class)" alone
// matches every window of that class; "\\\" (three backslashes) separates a
// parent's name from a child's.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::string_view kChildSeparator = "\\\\\\";

struct WindowEntry {
  uintptr_t handle = 0;
  std::string title;
  std::string className;
  std::vector<WindowEntry> children;
};

// "%s (%s)", as the list and the window picker show a window.
std::string windowItemText(std::string_view title, std::string_view className);
// " (%s)", the name "Match Window Class Names Only" gives.
std::string classOnlyName(std::string_view className);

// The window picker's label of a window: the item text, or with
// `classOnly` the class-only name.
std::string windowPickerLabel(const WindowEntry& entry, bool classOnly);
// The name an action stores for a window picked in the tree: the labels from
// the top level down to it, joined by the child separator.
std::string windowPathName(const std::vector<std::string>& labels);

// `pattern` against `text` as a whole, ignoring ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view text);
// One level of a name: the item text, a class-only name, or (as names
// written before the list existed) the title alone.
bool windowNameMatches(std::string_view name, const WindowEntry& entry);
std::vector<std::string_view> splitWindowPath(std::string_view name);
// The first window the name addresses; null when none.
const WindowEntry* findWindowEntry(const std::vector<WindowEntry>& list, std::string_view name);

}  // namespace vexa
