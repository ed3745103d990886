#pragma once
// An open registry key.
#include <windows.h>

#include <optional>
#include <string>

#include "vexa/winlib/unique_handle.h"

namespace vexa::win {

struct RegKeyTraits {
  using Type = HKEY;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

class CRegKey : public CUniqueHandle<RegKeyTraits> {
 public:
  using CUniqueHandle::CUniqueHandle;

  bool Create(HKEY parent, const std::wstring& subKey, REGSAM access = KEY_READ | KEY_WRITE);
  bool Open(HKEY parent, const std::wstring& subKey, REGSAM access = KEY_READ);

  std::optional<std::wstring> QueryString(const std::wstring& name) const;
  std::optional<DWORD> QueryDword(const std::wstring& name) const;
  bool SetString(const std::wstring& name, const std::wstring& value);
  bool SetDword(const std::wstring& name, DWORD value);
  std::optional<std::string> QueryBinary(const std::wstring& name) const;
  bool SetBinary(const std::wstring& name, const void* data, DWORD size);
  bool DeleteValue(const std::wstring& name);
  // Removes a subkey with everything below it.
  bool DeleteTree(const std::wstring& subKey);
};

}  // namespace vexa::win
