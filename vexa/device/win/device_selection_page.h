#pragma once
// The device selection page ("Device Plug-In Selection"): a drop-down
// with "Keyboard" and every device name, and the "Info" button. Changing the
// choice unloads, selects and starts devices and remembers the choice.
#include <windows.h>

#include <functional>
#include <string>

#include "vexa/winlib/window.h"

namespace vexa::device {

class CDevice;

inline constexpr const wchar_t* kDeviceSelectionPageClass = L"VexaDeviceSelectionPage";

// What the page needs of the main window.
struct SelectionPageHooks {
  std::function<bool()> isApplyEnabled;    // unsaved settings?
  std::function<void()> saveAllSettings;   // also disables Apply
  std::function<void()> deviceChanged;     // a new device page exists (or none)
};

class CDeviceSelectionPage : public win::CWindow {
 public:
  enum ControlId : UINT { kTitle = 300, kList, kInfoButton };

  CDeviceSelectionPage(CDevice& device, SelectionPageHooks hooks) : m_device(device), m_hooks(std::move(hooks)) {}

  // Created hidden; the current device (or "Keyboard") is selected.
  bool Create(HWND parent, RECT area);
  // Fills the list again and selects the current device.
  void Refresh();
  // The selection-change algorithm for a name of the list (system code page).
  void Choose(const std::string& deviceName);
  HWND Control(ControlId id) const { return GetDlgItem(Handle(), id); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void KeyboardMode();
  std::string CurrentChoice() const;
  void StoreRegistryValue(const wchar_t* name, const std::string& value);

  CDevice& m_device;
  SelectionPageHooks m_hooks;
  std::string m_previous;  // the choice before the change
};

// Save all: "Current Device" becomes the current device's name, or "Keyboard".
bool storeCurrentDevice(const CDevice& device);

// Start-up: selects the device saved as "Current Device" under the program's
// key and starts it with initialisation; "Keyboard", nothing saved or a failed selection
// give keyboard mode. Returns true when a device session was started.
bool startSavedDevice(CDevice& device, HWND mainWindow);

}  // namespace vexa::device
