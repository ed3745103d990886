#include "vexa/shell/win/registry_profile.h"

#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

std::wstring CRegistryProfile::subKey(std::string_view section) const {
  return section.empty() ? m_programKey : m_programKey + L"\\" + win::toWide(section);
}

int CRegistryProfile::readInt(std::string_view section, std::string_view entry, int fallback) const {
  win::CRegKey key;
  if (!key.Open(HKEY_CURRENT_USER, subKey(section))) return fallback;
  const auto value = key.QueryDword(win::toWide(entry));
  return value ? static_cast<int>(*value) : fallback;
}

bool CRegistryProfile::writeInt(std::string_view section, std::string_view entry, int value) {
  win::CRegKey key;
  return key.Create(HKEY_CURRENT_USER, subKey(section)) &&
         key.SetDword(win::toWide(entry), static_cast<DWORD>(value));
}

void CRegistryProfile::deleteTree(std::string_view section) {
  win::CRegKey key;
  if (key.Open(HKEY_CURRENT_USER, m_programKey, KEY_ALL_ACCESS)) key.DeleteTree(win::toWide(section));
}

}  // namespace vexa::shell
