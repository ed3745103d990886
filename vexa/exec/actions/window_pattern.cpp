#include "vexa/exec/actions/window_pattern.h"

#include "vexa/base/strings.h"

namespace vexa {

std::string windowItemText(std::string_view title, std::string_view className) {
  return std::string(title) + " (" + std::string(className) + ")";
}

std::string classOnlyName(std::string_view className) { return " (" + std::string(className) + ")"; }

std::string windowPickerLabel(const WindowEntry& entry, bool classOnly) {
  return classOnly ? classOnlyName(entry.className) : windowItemText(entry.title, entry.className);
}

std::string windowPathName(const std::vector<std::string>& labels) {
  std::string name;
  for (size_t i = 0; i < labels.size(); ++i) {
    if (i > 0) name += kChildSeparator;
    name += labels[i];
  }
  return name;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
  // Iterative with one back-track point: linear in practice, no recursion on long titles.
  size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(text[t]))) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool windowNameMatches(std::string_view name, const WindowEntry& entry) {
  if (name.size() > 3 && name.substr(0, 2) == " (" && name.back() == ')')
    return wildcardMatch(name.substr(2, name.size() - 3), entry.className);
  return wildcardMatch(name, windowItemText(entry.title, entry.className)) ||
         (!entry.title.empty() && wildcardMatch(name, entry.title));
}

std::vector<std::string_view> splitWindowPath(std::string_view name) {
  std::vector<std::string_view> parts;
  for (size_t at; (at = name.find(kChildSeparator)) != std::string_view::npos;) {
    parts.push_back(name.substr(0, at));
    name.remove_prefix(at + kChildSeparator.size());
  }
  parts.push_back(name);
  return parts;
}

namespace {

const WindowEntry* findPath(const std::vector<WindowEntry>& list, const std::vector<std::string_view>& parts,
                            size_t level) {
  for (const WindowEntry& entry : list) {
    if (!windowNameMatches(parts[level], entry)) continue;
    if (level + 1 == parts.size()) return &entry;
    if (const WindowEntry* child = findPath(entry.children, parts, level + 1)) return child;
  }
  // Below the top level a child may sit deeper than one level.
  if (level > 0)
    for (const WindowEntry& entry : list)
      if (const WindowEntry* deeper = findPath(entry.children, parts, level)) return deeper;
  return nullptr;
}

}  // namespace

const WindowEntry* findWindowEntry(const std::vector<WindowEntry>& list, std::string_view name) {
  if (name.empty()) return nullptr;
  return findPath(list, splitWindowPath(name), 0);
}

}  // namespace vexa
