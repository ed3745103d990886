#pragma once
// Which commands run another command when their button is held, and for
// how long. Settings follow their commands through renames and moves, since
// they are kept by the command object, not by its name; paths are only
// made when the settings are written. Settings read from a file that name
// no command of the tree are kept as they were read, so that writing the
// file back loses nothing, but they do nothing.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class CCmdArray;
class CCmdItem;
class CCmdTree;

inline constexpr uint32_t kMinHoldMs = 300;
inline constexpr uint32_t kMaxHoldMs = 5000;
inline constexpr std::string_view kMsgHoldRange = "Please enter a hold time between 300 and 5000 ms.";

struct HoldSetting {
  uint32_t holdMs = 0;
  const CCmdArray* target = nullptr;  // first layout of the command run when held
};

// A command's path as the tree shows it: remote, folders and command joined by "\".
std::string commandPath(const CCmdItem& item);
// The command item at that path (labels compared case-insensitively), or null.
CCmdItem* findCommandByPath(const CCmdTree& tree, std::string_view path);

// A setting as it stands in a file: by paths.
struct HoldEntry {
  std::string path;
  uint32_t holdMs = 0;
  std::string target;
};

class CHoldTable {
 public:
  bool empty() const { return settings_.empty(); }
  size_t size() const { return settings_.size(); }
  // The setting of a command (any layout of it), or null.
  const HoldSetting* find(const CCmdArray& command) const;

  enum class SetResult { Set, Cleared, OutOfRange, NotATarget };
  // holdMs 0 clears. Otherwise holdMs must lie in 300..5000 and the target
  // must be one of targetsFor(command).
  SetResult set(const CCmdTree& tree, const CCmdItem& command, uint32_t holdMs, const CCmdArray* target);
  // The commands a command may run when held: every other command of its
  // remote, directly or in one of the remote's application folders, in tree order.
  static std::vector<const CCmdItem*> targetsFor(const CCmdTree& tree, const CCmdItem& command);

  // Whether any command of that name on that remote (directly or in one of
  // its folders) has a setting: the cheap test made for every press.
  bool anyFor(const CCmdTree& tree, std::string_view remote, std::string_view command) const;

  // An item and everything under it leaves the tree: settings of its
  // commands, and settings that run one of them, go with it.
  void forgetWithin(const CCmdItem& item);
  void clear();

  // Settings by path, for the file: resolved ones with the tree's current
  // paths, then the kept unresolved ones (unless a resolved one has their path).
  std::vector<HoldEntry> entries(const CCmdTree& tree) const;
  // Replaces the table with `entries` resolved against the tree. Returns one
  // text for each entry that was kept but does nothing (its command or its
  // target is not in the tree, or its values are not allowed).
  std::vector<std::string> assign(const CCmdTree& tree, const std::vector<HoldEntry>& entries);

 private:
  std::map<const CCmdArray*, HoldSetting> settings_;  // by first layout
  std::vector<HoldEntry> unresolved_;
};

}  // namespace vexa
