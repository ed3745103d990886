#pragma once
// The store's registry form on a real key, in the system code page as the
// host names the plug-in's key.
#include <windows.h>

#include "plugins/store/registry_form.h"

namespace vexa::store {

class CRegistryKey : public IRegistryKey {
 public:
  // Borrows `key`: the host closes the key it hands over.
  static CRegistryKey Borrow(HKEY key) { return CRegistryKey(key, false); }
  ~CRegistryKey() override;
  CRegistryKey(CRegistryKey&& other) noexcept;
  CRegistryKey& operator=(CRegistryKey&&) = delete;

  HKEY Get() const { return m_key; }
  std::vector<std::string> subkeyNames() const override;
  std::vector<Value> values() const override;
  std::unique_ptr<IRegistryKey> openSubkey(const std::string& name) const override;
  std::unique_ptr<IRegistryKey> createSubkey(const std::string& name) override;
  bool deleteTree(const std::string& name) override;
  bool setDword(const std::string& name, uint32_t data) override;

  std::string QueryString(const char* name, const std::string& fallback) const;
  std::optional<DWORD> QueryDword(const char* name) const;
  bool SetString(const char* name, const std::string& value);

 private:
  CRegistryKey(HKEY key, bool owned) : m_key(key), m_owned(owned) {}
  HKEY m_key;
  bool m_owned;
};

}  // namespace vexa::store
