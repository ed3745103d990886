#pragma once
// Settings in the host's configuration file through the private-profile functions.
#include <windows.h>

#include <string>

#include "plugins/kit/settings_store.h"

namespace vexa::kit {

class CProfileFileStore : public ISettingsStore {
 public:
  explicit CProfileFileStore(const char* file) : m_file(file ? file : "") {}

  std::string read(std::string_view section, std::string_view key,
                   std::string_view fallback) const override {
    char buffer[1024];
    GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                             std::string(fallback).c_str(), buffer, sizeof(buffer), m_file.c_str());
    return buffer;
  }
  bool write(std::string_view section, std::string_view key, std::string_view value) override {
    return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                      std::string(value).c_str(), m_file.c_str()) != FALSE;
  }

 private:
  std::string m_file;
};

}  // namespace vexa::kit
