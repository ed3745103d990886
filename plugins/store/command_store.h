#pragma once
// The remotes and learned buttons of a plug-in that recognises codes itself.
// Names compare as the registry compares them (case-insensitively), so "TV"
// and "tv" are one remote here as they are one key there. Every call takes
// the store's lock: the receiving thread looks codes up while the dialog edits.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::store {

inline constexpr size_t kMaxName = 255;

struct CommandNode {
  std::string name;
  uint32_t code = 0;
  bool operator==(const CommandNode&) const = default;
};
using CommandList = std::vector<CommandNode>;  // in the order the buttons were added

struct FoundCommand {
  std::string remote;
  std::string command;
  bool operator==(const FoundCommand&) const = default;
};

bool equalNoCase(std::string_view a, std::string_view b);

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class CCommandStore {
 public:
  std::vector<std::string> remoteNames() const;
  size_t remoteCount() const;
  std::optional<std::string> remoteAt(size_t index) const;
  bool hasRemote(std::string_view remote) const;
  // The remote's commands; nothing when there is no such remote.
  std::optional<CommandList> commands(std::string_view remote) const;
  size_t commandCount() const;

  // False when a remote of that name exists already.
  bool addRemote(std::string_view remote);
  bool removeRemote(std::string_view remote);
  // False when `to` names another remote or `from` is unknown.
  bool renameRemote(std::string_view from, std::string_view to);
  // Replaces whatever the remote held.
  void setRemote(std::string_view remote, CommandList commands);
  void clear();

  // Appended at the end of the remote's list; the remote is created when new.
  void appendCommand(std::string_view remote, std::string_view command, uint32_t code);
  // The first command of that name goes.
  bool removeCommand(std::string_view remote, std::string_view command);
  // False when a sibling already has the new name.
  bool renameCommand(std::string_view remote, std::string_view from, std::string_view to);
  std::optional<CommandNode> findByName(std::string_view remote, std::string_view command) const;
  std::optional<CommandNode> findByCode(std::string_view remote, uint32_t code) const;

  // The first command with this code over all remotes (remote order, then list order).
  std::optional<FoundCommand> firstWithCode(uint32_t code) const;
  // In every remote the first command with this code.
  std::vector<FoundCommand> firstWithCodePerRemote(uint32_t code) const;

  // "New Remote", or "New Remote %d" with the first number from 2 not in use.
  std::string newRemoteName() const;

 private:
  using Map = std::map<std::string, CommandList, NoCaseLess>;
  mutable std::mutex m_lock;
  Map m_remotes;
};

// The characters that structure the preset and configuration files.
inline constexpr std::string_view kReservedChars = "#[]@=|";
bool hasReservedChar(std::string_view name);

}  // namespace vexa::store
