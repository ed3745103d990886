#pragma once
// A plug-in's settings in the host's configuration file: private-profile
// functions on Windows (win/profile_file_store.h), an in-memory INI document
// in tools and tests (ini_settings_store.h).
#include <string>
#include <string_view>

namespace vexa::kit {

class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string read(std::string_view section, std::string_view key,
                           std::string_view fallback) const = 0;
  virtual bool write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace vexa::kit
