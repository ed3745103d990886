#include "vexa/device/code_store.h"

#include "vexa/model/names.h"

namespace vexa::device {

namespace {

bool containsIgnoringCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (size_t i = 0; i + part.size() <= text.size(); ++i)
    if (iequals(text.substr(i, part.size()), part)) return true;
  return false;
}

// Checks shared by both levels; NotFound is left to the caller.
RenameResult checkNewName(std::string_view from, std::string_view to, bool taken) {
  if (to.empty() || to == from) return RenameResult::Unchanged;
  if (hasReservedChar(to)) return RenameResult::ReservedChar;
  // A different spelling of the same name is the same item, not a duplicate.
  if (taken && !iequals(from, to)) return RenameResult::Duplicate;
  return RenameResult::Renamed;
}

template <class Map>
void rekey(Map& map, std::string_view from, std::string_view to) {
  auto node = map.extract(map.find(from));
  node.key() = std::string(to);
  map.insert(std::move(node));
}

}  // namespace

std::string_view renameMessage(RenameResult result, bool isCommand) {
  switch (result) {
    case RenameResult::ReservedChar:
      return kMsgReservedChars;
    case RenameResult::Duplicate:
      return kMsgNameExists;
    case RenameResult::NotFound:
      return isCommand ? kMsgCouldNotRenameCommand : kMsgCouldNotRenameRemote;
    default:
      return {};
  }
}

const DeviceRemote* CCodeStore::findRemote(std::string_view remote) const {
  auto it = remotes_.find(remote);
  return it == remotes_.end() ? nullptr : &it->second;
}

const DeviceCode* CCodeStore::findCode(std::string_view remote, std::string_view command) const {
  const DeviceRemote* r = findRemote(remote);
  if (!r) return nullptr;
  auto it = r->commands.find(command);
  return it == r->commands.end() ? nullptr : &it->second;
}

void CCodeStore::clear() {
  remotes_.clear();
  ++revision_;
}

DeviceRemote& CCodeStore::ensureRemote(std::string_view remote, int mode) {
  ++revision_;
  auto it = remotes_.find(remote);
  if (it != remotes_.end()) return it->second;
  DeviceRemote fresh;
  fresh.mode = mode;
  return remotes_.emplace(std::string(remote), std::move(fresh)).first->second;
}

void CCodeStore::setCode(std::string_view remote, std::string_view command, DeviceCode code) {
  const int mode = (code.flags & CodeFlag::kRaw) ? 0 : 1;
  DeviceRemote& r = ensureRemote(remote, mode);
  auto it = r.commands.find(command);
  if (it != r.commands.end())
    it->second = std::move(code);
  else
    r.commands.emplace(std::string(command), std::move(code));
}

void CCodeStore::setRemoteSettings(std::string_view remote, int tolerance, int mode) {
  DeviceRemote& r = ensureRemote(remote, mode);
  r.tolerance = tolerance;
  r.mode = mode;
}

bool CCodeStore::deleteRemote(std::string_view remote) {
  auto it = remotes_.find(remote);
  if (it == remotes_.end()) return false;
  remotes_.erase(it);
  ++revision_;
  return true;
}

bool CCodeStore::deleteCommand(std::string_view remote, std::string_view command) {
  auto it = remotes_.find(remote);
  if (it == remotes_.end()) return false;
  auto cmd = it->second.commands.find(command);
  if (cmd == it->second.commands.end()) return false;
  it->second.commands.erase(cmd);
  ++revision_;
  return true;
}

RenameResult CCodeStore::renameRemote(std::string_view from, std::string_view to) {
  const RenameResult check = checkNewName(from, to, remotes_.contains(to));
  if (check != RenameResult::Renamed) return check;
  if (!remotes_.contains(from)) return RenameResult::NotFound;
  rekey(remotes_, from, to);
  ++revision_;
  return RenameResult::Renamed;
}

RenameResult CCodeStore::renameCommand(std::string_view remote, std::string_view from, std::string_view to) {
  auto it = remotes_.find(remote);
  if (it == remotes_.end()) {
    const RenameResult check = checkNewName(from, to, false);
    return check == RenameResult::Renamed ? RenameResult::NotFound : check;
  }
  auto& commands = it->second.commands;
  const RenameResult check = checkNewName(from, to, commands.contains(to));
  if (check != RenameResult::Renamed) return check;
  if (!commands.contains(from)) return RenameResult::NotFound;
  rekey(commands, from, to);
  ++revision_;
  return RenameResult::Renamed;
}

std::string CCodeStore::newRemoteName() const {
  int similar = 0;
  for (const auto& [name, remote] : remotes_)
    if (containsIgnoringCase(name, kNewRemoteName)) ++similar;
  if (similar == 0) return std::string(kNewRemoteName);
  for (int n = similar + 1;; ++n) {
    std::string candidate = std::string(kNewRemoteName) + " " + std::to_string(n);
    if (!remotes_.contains(candidate)) return candidate;
  }
}

std::string CCodeStore::addNewRemote() {
  std::string name = newRemoteName();
  ensureRemote(name, 0);
  return name;
}

std::string CCodeStore::deleteRemoteQuestion(std::string_view remote) {
  return "Delete all commands of " + std::string(remote) + " ?";
}

}  // namespace vexa::device
