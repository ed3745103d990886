#pragma once
// What the Action Definition dialog reads from this machine beyond the
// choices of field 1 (those come from the actions' own services): the
// window a name addresses and the keystroke table; and the guard that keeps
// the keyboard hook away while a field takes keys itself.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "vexa/model/action_fields.h"

namespace vexa::shell {

// The window a name of the actions addresses ("title (class)", wildcards,
// " (class)", a child path, or a bare title), as the actions find it; null when none.
HWND findNamedWindow(const std::string& name);
// The keystroke table beside the program; false when it cannot be read.
bool loadKeyTable(const std::filesystem::path& programFolder, std::vector<KeyTableEntry>& entries);

// While it lives the main window has removed the keyboard hook (0x469);
// its end always sends 0x46A, whatever path leaves the field.
class CKeyboardHookSuspension {
 public:
  explicit CKeyboardHookSuspension(HWND mainWindow);
  ~CKeyboardHookSuspension();
  CKeyboardHookSuspension(const CKeyboardHookSuspension&) = delete;
  CKeyboardHookSuspension& operator=(const CKeyboardHookSuspension&) = delete;

 private:
  HWND m_main;
};

// A hot-key control that suspends the keyboard hook while it has the focus.
// The control is subclassed; Release (or its destruction) resumes the hook.
class CHotKeyField {
 public:
  CHotKeyField() = default;
  ~CHotKeyField() { Detach(); }
  CHotKeyField(const CHotKeyField&) = delete;
  CHotKeyField& operator=(const CHotKeyField&) = delete;
  void Attach(HWND control, HWND mainWindow);
  void Detach();
  bool IsSuspending() const { return m_suspension != nullptr; }

  // Hot-key value as the model stores it: (modifiers << 16) + virtual key.
  uint32_t Value() const;
  void SetValue(uint32_t hotKey);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  HWND m_control = nullptr;
  HWND m_main = nullptr;
  CKeyboardHookSuspension* m_suspension = nullptr;
};

}  // namespace vexa::shell
