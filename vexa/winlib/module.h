#pragma once
// A loaded DLL (LoadLibrary / FreeLibrary).
#include <windows.h>

#include <filesystem>
#include <string>

#include "vexa/winlib/unique_handle.h"

namespace vexa::win {

struct ModuleTraits {
  using Type = HMODULE;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return FreeLibrary(h) != FALSE; }
};

class CModule : public CUniqueHandle<ModuleTraits> {
 public:
  using CUniqueHandle::CUniqueHandle;

  bool Load(const std::filesystem::path& file) {
    Attach(LoadLibraryW(file.c_str()));
    return IsValid();
  }

  // Null when the export is missing: optional system functions are looked up this way.
  template <class Fn>
  Fn GetProc(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(Get(), name)));
  }
};

// Full path of a module (the running executable for nullptr).
std::filesystem::path modulePath(HMODULE module = nullptr);

}  // namespace vexa::win
