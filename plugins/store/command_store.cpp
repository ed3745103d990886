#include "plugins/store/command_store.h"

#include <algorithm>
#include <cctype>

namespace vexa::store {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string key(std::string_view name) { return std::string(name.substr(0, kMaxName)); }

template <class List>
auto findNamed(List& list, std::string_view name) {
  return std::find_if(list.begin(), list.end(), [&](const CommandNode& n) { return equalNoCase(n.name, name); });
}

}  // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return lower(x) < lower(y); });
}

bool hasReservedChar(std::string_view name) { return name.find_first_of(kReservedChars) != std::string_view::npos; }

std::vector<std::string> CCommandStore::remoteNames() const {
  std::lock_guard guard(m_lock);
  std::vector<std::string> names;
  for (const auto& [name, list] : m_remotes) names.push_back(name);
  return names;
}

size_t CCommandStore::remoteCount() const {
  std::lock_guard guard(m_lock);
  return m_remotes.size();
}

std::optional<std::string> CCommandStore::remoteAt(size_t index) const {
  std::lock_guard guard(m_lock);
  if (index >= m_remotes.size()) return std::nullopt;
  return std::next(m_remotes.begin(), static_cast<std::ptrdiff_t>(index))->first;
}

bool CCommandStore::hasRemote(std::string_view remote) const {
  std::lock_guard guard(m_lock);
  return m_remotes.count(key(remote)) != 0;
}

std::optional<CommandList> CCommandStore::commands(std::string_view remote) const {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(remote));
  if (it == m_remotes.end()) return std::nullopt;
  return it->second;
}

size_t CCommandStore::commandCount() const {
  std::lock_guard guard(m_lock);
  size_t count = 0;
  for (const auto& [name, list] : m_remotes) count += list.size();
  return count;
}

bool CCommandStore::addRemote(std::string_view remote) {
  std::lock_guard guard(m_lock);
  return m_remotes.emplace(key(remote), CommandList{}).second;
}

bool CCommandStore::removeRemote(std::string_view remote) {
  std::lock_guard guard(m_lock);
  return m_remotes.erase(key(remote)) != 0;
}

bool CCommandStore::renameRemote(std::string_view from, std::string_view to) {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(from));
  if (it == m_remotes.end() || to.empty()) return false;
  // A change of case only is a rename of the same registry key, not a clash.
  if (!equalNoCase(from, to) && m_remotes.count(key(to))) return false;
  CommandList list = std::move(it->second);
  m_remotes.erase(it);
  m_remotes.emplace(key(to), std::move(list));
  return true;
}

void CCommandStore::setRemote(std::string_view remote, CommandList commands) {
  std::lock_guard guard(m_lock);
  m_remotes.erase(key(remote));
  m_remotes.emplace(key(remote), std::move(commands));
}

void CCommandStore::clear() {
  std::lock_guard guard(m_lock);
  m_remotes.clear();
}

void CCommandStore::appendCommand(std::string_view remote, std::string_view command, uint32_t code) {
  std::lock_guard guard(m_lock);
  m_remotes[key(remote)].push_back({key(command), code});
}

bool CCommandStore::removeCommand(std::string_view remote, std::string_view command) {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(remote));
  if (it == m_remotes.end()) return false;
  auto node = findNamed(it->second, command);
  if (node == it->second.end()) return false;
  it->second.erase(node);
  return true;
}

bool CCommandStore::renameCommand(std::string_view remote, std::string_view from, std::string_view to) {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(remote));
  if (it == m_remotes.end() || to.empty()) return false;
  auto node = findNamed(it->second, from);
  if (node == it->second.end()) return false;
  auto clash = findNamed(it->second, to);
  if (clash != it->second.end() && clash != node) return false;
  node->name = key(to);
  return true;
}

std::optional<CommandNode> CCommandStore::findByName(std::string_view remote, std::string_view command) const {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(remote));
  if (it == m_remotes.end()) return std::nullopt;
  auto node = findNamed(it->second, command);
  if (node == it->second.end()) return std::nullopt;
  return *node;
}

std::optional<CommandNode> CCommandStore::findByCode(std::string_view remote, uint32_t code) const {
  std::lock_guard guard(m_lock);
  auto it = m_remotes.find(key(remote));
  if (it == m_remotes.end()) return std::nullopt;
  for (const CommandNode& node : it->second)
    if (node.code == code) return node;
  return std::nullopt;
}

std::optional<FoundCommand> CCommandStore::firstWithCode(uint32_t code) const {
  std::lock_guard guard(m_lock);
  for (const auto& [remote, list] : m_remotes)
    for (const CommandNode& node : list)
      if (node.code == code) return FoundCommand{remote, node.name};
  return std::nullopt;
}

std::vector<FoundCommand> CCommandStore::firstWithCodePerRemote(uint32_t code) const {
  std::lock_guard guard(m_lock);
  std::vector<FoundCommand> found;
  for (const auto& [remote, list] : m_remotes) {
    auto node = std::find_if(list.begin(), list.end(), [&](const CommandNode& n) { return n.code == code; });
    if (node != list.end()) found.push_back({remote, node->name});
  }
  return found;
}

std::string CCommandStore::newRemoteName() const {
  static constexpr std::string_view kBase = "New Remote";
  std::lock_guard guard(m_lock);
  if (!m_remotes.count(std::string(kBase))) return std::string(kBase);
  for (int n = 2;; ++n) {
    std::string name = std::string(kBase) + " " + std::to_string(n);
    if (!m_remotes.count(name)) return name;
  }
}

}  // namespace vexa::store
