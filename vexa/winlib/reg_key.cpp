#include "vexa/winlib/reg_key.h"

namespace vexa::win {

bool CRegKey::Create(HKEY parent, const std::wstring& subKey, REGSAM access) {
  HKEY key = nullptr;
  const LONG rc = RegCreateKeyExW(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  access, nullptr, &key, nullptr);
  Attach(rc == ERROR_SUCCESS ? key : nullptr);
  return IsValid();
}

bool CRegKey::Open(HKEY parent, const std::wstring& subKey, REGSAM access) {
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExW(parent, subKey.c_str(), 0, access, &key);
  Attach(rc == ERROR_SUCCESS ? key : nullptr);
  return IsValid();
}

std::optional<std::wstring> CRegKey::QueryString(const std::wstring& name) const {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored data may or may not carry its terminator.
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

std::optional<DWORD> CRegKey::QueryDword(const std::wstring& name) const {
  DWORD type = 0;
  DWORD value = 0;
  DWORD bytes = sizeof(value);
  if (RegQueryValueExW(Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &bytes) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> CRegKey::QueryBinary(const std::wstring& name) const {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_BINARY)
    return std::nullopt;
  std::string value(bytes, '\0');
  if (RegQueryValueExW(Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(bytes);
  return value;
}

bool CRegKey::SetBinary(const std::wstring& name, const void* data, DWORD size) {
  return RegSetValueExW(Get(), name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool CRegKey::SetString(const std::wstring& name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(Get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

bool CRegKey::SetDword(const std::wstring& name, DWORD value) {
  return RegSetValueExW(Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof(value)) == ERROR_SUCCESS;
}

bool CRegKey::DeleteValue(const std::wstring& name) {
  return RegDeleteValueW(Get(), name.c_str()) == ERROR_SUCCESS;
}

bool CRegKey::DeleteTree(const std::wstring& subKey) {
  return RegDeleteTreeW(Get(), subKey.c_str()) == ERROR_SUCCESS;
}

}  // namespace vexa::win
