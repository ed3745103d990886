#pragma once
// The application profile in the registry: sections are subkeys of the
// program's key (names joined by backslashes), integers 32-bit values.
#include <string>

#include "vexa/model/app_profile.h"

namespace vexa::shell {

class CRegistryProfile : public IAppProfile {
 public:
  // `programKey` below HKEY_CURRENT_USER, e.g. "Software\\Marlix\\Vexa".
  explicit CRegistryProfile(std::wstring programKey) : m_programKey(std::move(programKey)) {}

  int readInt(std::string_view section, std::string_view entry, int fallback) const override;
  bool writeInt(std::string_view section, std::string_view entry, int value) override;
  void deleteTree(std::string_view section) override;

 private:
  std::wstring subKey(std::string_view section) const;

  std::wstring m_programKey;
};

}  // namespace vexa::shell
