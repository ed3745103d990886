#pragma once
// The settings store over an in-memory INI document (tools and tests; the
// plug-ins themselves use the private-profile functions on the host's file).
#include "plugins/kit/settings_store.h"
#include "vexa/codec/ini_file.h"

namespace vexa::kit {

class CIniSettingsStore : public ISettingsStore {
 public:
  explicit CIniSettingsStore(CIniFile& file) : m_file(file) {}
  std::string read(std::string_view section, std::string_view key,
                   std::string_view fallback) const override {
    return m_file.getString(section, key, fallback);
  }
  bool write(std::string_view section, std::string_view key, std::string_view value) override {
    m_file.setString(section, key, value);
    return true;
  }

 private:
  CIniFile& m_file;
};

}  // namespace vexa::kit
