#pragma once
// Where the Action Definition dialog's choices come from on this machine:
// display modes, mixer controls, dial-up entries, open windows and the
// keystroke table; and the guard that keeps the keyboard hook away while a
// field takes keys itself.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "vexa/model/action_fields.h"

namespace vexa::shell {

// Every mode the display driver enumerates, as "%dx%d %d-Bit[ @%d Hz]".
std::vector<std::string> displayModeChoices();
// Mixer controls fitting an action type: volume controls for types 20 and
// 31 to 33 (type 20 on the recording destination), mute controls for 30.
std::vector<std::string> mixerControlChoices(int actionType);
// Phone-book entries through the dial-up library loaded at run time; the
// single choice "Not available" when it or its function is missing.
std::vector<std::string> dialUpChoices(const wchar_t* library = L"rasapi32.dll");
// Titles of the visible top-level windows (the window picker's list).
std::vector<std::string> openWindowTitles();
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
