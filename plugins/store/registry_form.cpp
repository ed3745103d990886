#include "plugins/store/registry_form.h"

namespace vexa::store {

bool readCommands(const IRegistryKey& pluginKey, CCommandStore& store) {
  auto commands = pluginKey.openSubkey(kCommandsKey);
  if (!commands) return false;
  for (const std::string& remote : commands->subkeyNames()) {
    auto remoteKey = commands->openSubkey(remote);
    if (!remoteKey) continue;
    CommandList list;
    for (const IRegistryKey::Value& value : remoteKey->values())
      if (value.isDword) list.push_back({value.name.substr(0, kMaxName), value.data});
    store.setRemote(remote, std::move(list));
  }
  return true;
}

bool writeCommands(IRegistryKey& pluginKey, const CCommandStore& store) {
  if (!pluginKey.deleteTree(kCommandsKey)) return false;
  auto commands = pluginKey.createSubkey(kCommandsKey);
  if (!commands) return false;
  bool ok = true;
  for (const std::string& remote : store.remoteNames()) {
    auto remoteKey = commands->createSubkey(remote);
    if (!remoteKey) {
      ok = false;
      continue;
    }
    for (const CommandNode& node : store.commands(remote).value_or(CommandList{}))
      ok = remoteKey->setDword(node.name, node.code) && ok;
  }
  return ok;
}

}  // namespace vexa::store
