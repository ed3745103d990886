#pragma once
// The store in the registry: below the plug-in's key a "Commands" key, one
// subkey per remote, one REG_DWORD per command. The key is abstract so the
// form is tested without Windows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugins/store/command_store.h"

namespace vexa::store {

class IRegistryKey {
 public:
  struct Value {
    std::string name;
    bool isDword = false;
    uint32_t data = 0;
  };
  virtual ~IRegistryKey() = default;
  virtual std::vector<std::string> subkeyNames() const = 0;
  // In the order the registry enumerates them.
  virtual std::vector<Value> values() const = 0;
  virtual std::unique_ptr<IRegistryKey> openSubkey(const std::string& name) const = 0;
  virtual std::unique_ptr<IRegistryKey> createSubkey(const std::string& name) = 0;
  // The subkey and everything below it; true also when it did not exist.
  virtual bool deleteTree(const std::string& name) = 0;
  virtual bool setDword(const std::string& name, uint32_t data) = 0;
};

inline constexpr const char* kCommandsKey = "Commands";

// Every remote found replaces the one of that name in the store; others stay.
bool readCommands(const IRegistryKey& pluginKey, CCommandStore& store);
// Replaces the whole "Commands" subtree by the store.
bool writeCommands(IRegistryKey& pluginKey, const CCommandStore& store);

}  // namespace vexa::store
