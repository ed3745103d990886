#include "vexa/model/hold_table.h"

#include <algorithm>
#include <set>

#include "vexa/base/strings.h"
#include "vexa/model/cmd_tree.h"

namespace vexa {

namespace {

constexpr char kSeparator = '\\';

bool allowedMs(uint32_t ms) { return ms >= kMinHoldMs && ms <= kMaxHoldMs; }

}  // namespace

std::string commandPath(const CCmdItem& item) {
  std::string path = item.label();
  for (const CCmdItem* p = item.parent(); p; p = p->parent()) path = p->label() + kSeparator + path;
  return path;
}

CCmdItem* findCommandByPath(const CCmdTree& tree, std::string_view path) {
  const CCmdItem* found = nullptr;
  tree.forEachItem([&](const CCmdItem& item) {
    if (!found && item.kind() == ItemKind::Command && iequals(commandPath(item), path)) found = &item;
  });
  return const_cast<CCmdItem*>(found);
}

const HoldSetting* CHoldTable::find(const CCmdArray& command) const {
  const auto it = settings_.find(&command.first());
  return it == settings_.end() ? nullptr : &it->second;
}

std::vector<const CCmdItem*> CHoldTable::targetsFor(const CCmdTree& tree, const CCmdItem& command) {
  std::vector<const CCmdItem*> targets;
  const CCmdItem* remote = &command.remote();
  tree.forEachItem([&](const CCmdItem& item) {
    if (item.kind() == ItemKind::Command && &item != &command && &item.remote() == remote) targets.push_back(&item);
  });
  return targets;
}

CHoldTable::SetResult CHoldTable::set(const CCmdTree& tree, const CCmdItem& command, uint32_t holdMs,
                                      const CCmdArray* target) {
  if (command.kind() != ItemKind::Command) return SetResult::NotATarget;
  const CCmdArray* key = &command.command()->first();
  if (holdMs == 0) {
    settings_.erase(key);
    return SetResult::Cleared;
  }
  if (!allowedMs(holdMs)) return SetResult::OutOfRange;
  if (!target) return SetResult::NotATarget;
  const auto targets = targetsFor(tree, command);
  const bool allowed = std::any_of(targets.begin(), targets.end(),
                                   [&](const CCmdItem* t) { return t->command() == &target->first(); });
  if (!allowed) return SetResult::NotATarget;
  settings_[key] = HoldSetting{holdMs, &target->first()};
  return SetResult::Set;
}

bool CHoldTable::anyFor(const CCmdTree& tree, std::string_view remote, std::string_view command) const {
  if (settings_.empty()) return false;
  const CCmdItem* r = tree.findRemote(remote);
  if (!r) return false;
  for (const auto& child : r->children()) {
    if (child->kind() == ItemKind::Command && iequals(child->label(), command) && settings_.count(child->command()))
      return true;
    if (child->kind() != ItemKind::Folder) continue;
    for (const auto& inner : child->children())
      if (inner->kind() == ItemKind::Command && iequals(inner->label(), command) && settings_.count(inner->command()))
        return true;
  }
  return false;
}

void CHoldTable::forgetWithin(const CCmdItem& item) {
  std::set<const CCmdArray*> leaving;
  const auto collect = [&leaving](const CCmdItem& i, auto& self) -> void {
    if (i.command()) leaving.insert(i.command());
    for (const auto& child : i.children()) self(*child, self);
  };
  collect(item, collect);
  std::erase_if(settings_, [&leaving](const auto& entry) {
    return leaving.count(entry.first) || leaving.count(entry.second.target);
  });
}

void CHoldTable::clear() {
  settings_.clear();
  unresolved_.clear();
}

std::vector<HoldEntry> CHoldTable::entries(const CCmdTree& tree) const {
  std::vector<HoldEntry> out;
  std::set<std::string> written;
  tree.forEachItem([&](const CCmdItem& item) {
    if (item.kind() != ItemKind::Command) return;
    const auto it = settings_.find(item.command());
    if (it == settings_.end()) return;
    const CCmdItem* target = tree.findByObject(*it->second.target);
    if (!target) return;
    out.push_back(HoldEntry{commandPath(item), it->second.holdMs, commandPath(*target)});
    written.insert(toLower(out.back().path));
  });
  for (const HoldEntry& kept : unresolved_)
    if (written.insert(toLower(kept.path)).second) out.push_back(kept);
  return out;
}

std::vector<std::string> CHoldTable::assign(const CCmdTree& tree, const std::vector<HoldEntry>& entries) {
  clear();
  std::vector<std::string> ignored;
  std::set<std::string> seen;
  for (const HoldEntry& entry : entries) {
    if (!seen.insert(toLower(entry.path)).second) continue;  // the first section of a name counts
    const CCmdItem* command = findCommandByPath(tree, entry.path);
    const CCmdItem* target = entry.target.empty() ? nullptr : findCommandByPath(tree, entry.target);
    std::string why;
    if (!command)
      why = "\"" + entry.path + "\" is not a command";
    else if (!target)
      why = "\"" + entry.target + "\" (held \"" + entry.path + "\") is not a command";
    else if (!allowedMs(entry.holdMs))
      why = "\"" + entry.path + "\": HoldMs=" + std::to_string(entry.holdMs) + " is not between " +
            std::to_string(kMinHoldMs) + " and " + std::to_string(kMaxHoldMs);
    else if (set(tree, *command, entry.holdMs, target->command()) != SetResult::Set)
      why = "\"" + entry.target + "\" is not a command of the same remote as \"" + entry.path + "\"";
    if (why.empty()) continue;
    unresolved_.push_back(entry);
    ignored.push_back(why);
  }
  return ignored;
}

}  // namespace vexa
