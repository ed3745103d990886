#pragma once
// A device preset file through the private-profile functions; the section
// names in the order the file has them.
#include <windows.h>

#include "plugins/kit/win/profile_file_store.h"
#include "plugins/store/preset_form.h"

namespace vexa::store {

class CPresetFile : public IPresetFile {
 public:
  explicit CPresetFile(const char* file) : m_file(file ? file : ""), m_profile(m_file.c_str()) {}
  std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
    return m_profile.read(section, key, fallback);
  }
  bool write(std::string_view section, std::string_view key, std::string_view value) override {
    return m_profile.write(section, key, value);
  }
  std::vector<std::string> sectionNames() const override;

 private:
  std::string m_file;
  kit::CProfileFileStore m_profile;
};

}  // namespace vexa::store
