#pragma once
// The hook module (tapmod.dll) as the program holds it: loaded at start-up,
// its keyboard hook installed for hot keys, taken out while a field takes
// keys itself, and removed with the module at shut-down.
#include <windows.h>

#include <cstdint>
#include <filesystem>

#include "vexa/winlib/module.h"

namespace vexa::shell {

inline constexpr const wchar_t* kHookLibrary = L"tapmod.dll";

class CHookModule {
 public:
  explicit CHookModule(std::filesystem::path library = kHookLibrary) : m_library(std::move(library)) {}
  ~CHookModule() { Unload(); }
  CHookModule(const CHookModule&) = delete;
  CHookModule& operator=(const CHookModule&) = delete;

  // Without the module hot keys simply do not work; false then.
  bool Load();
  void Unload();
  bool Loaded() const { return m_module.IsValid(); }
  // "InstallHook"; true when a hook handle is held afterwards.
  bool InstallKeyboardHook();
  // "UnHook", only while a handle is held.
  void RemoveKeyboardHook();
  // What the main window answers the module's question for it (code 97).
  uintptr_t KeyboardHook() const { return m_keyboardHook; }

 private:
  std::filesystem::path m_library;
  win::CModule m_module;
  uintptr_t m_keyboardHook = 0;
};

}  // namespace vexa::shell
