#include "plugins/store/win/registry_key.h"

namespace vexa::store {

namespace {

constexpr DWORD kNameBuffer = 256;  // names up to 255 characters

// Below a key, children before their parent: the old registry functions
// delete only empty keys.
bool deleteKeyTree(HKEY parent, const char* name) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  char child[kNameBuffer];
  for (;;) {
    DWORD length = kNameBuffer;
    if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (!deleteKeyTree(key, child)) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

}  // namespace

CRegistryKey::~CRegistryKey() {
  if (m_owned && m_key) RegCloseKey(m_key);
}

CRegistryKey::CRegistryKey(CRegistryKey&& other) noexcept : m_key(other.m_key), m_owned(other.m_owned) {
  other.m_key = nullptr;
  other.m_owned = false;
}

std::vector<std::string> CRegistryKey::subkeyNames() const {
  std::vector<std::string> names;
  char name[kNameBuffer];
  for (DWORD index = 0;; ++index) {
    DWORD length = kNameBuffer;
    if (RegEnumKeyExA(m_key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::vector<IRegistryKey::Value> CRegistryKey::values() const {
  std::vector<Value> values;
  char name[kNameBuffer];
  for (DWORD index = 0;; ++index) {
    DWORD length = kNameBuffer, type = 0, data = 0, size = sizeof data;
    const LONG result = RegEnumValueA(m_key, index, name, &length, nullptr, &type,
                                      reinterpret_cast<BYTE*>(&data), &size);
    if (result == ERROR_MORE_DATA) {  // a long value of another type
      values.push_back({std::string(name, length), false, 0});
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    values.push_back({std::string(name, length), type == REG_DWORD && size == sizeof data, data});
  }
  return values;
}

std::unique_ptr<IRegistryKey> CRegistryKey::openSubkey(const std::string& name) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(m_key, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return std::unique_ptr<IRegistryKey>(new CRegistryKey(key, true));
}

std::unique_ptr<IRegistryKey> CRegistryKey::createSubkey(const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(m_key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::unique_ptr<IRegistryKey>(new CRegistryKey(key, true));
}

bool CRegistryKey::deleteTree(const std::string& name) { return deleteKeyTree(m_key, name.c_str()); }

bool CRegistryKey::setDword(const std::string& name, uint32_t data) {
  const DWORD value = data;
  return RegSetValueExA(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

std::string CRegistryKey::QueryString(const char* name, const std::string& fallback) const {
  char text[260] = {};
  DWORD type = 0, size = sizeof text - 1;
  if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return fallback;
  return text;
}

std::optional<DWORD> CRegistryKey::QueryDword(const char* name) const {
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return data;
}

bool CRegistryKey::SetString(const char* name, const std::string& value) {
  return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace vexa::store
