#include "vexa/device/win/device_selection_page.h"

#include <commctrl.h>

#include "vexa/base/strings.h"
#include "vexa/device/win/device.h"
#include "vexa/winlib/controls.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace {

constexpr const wchar_t* kCurrentDeviceValue = L"Current Device";
constexpr const wchar_t* kCurrentPluginValue = L"Current Plugin";

HWND makeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, UINT id) {
  return win::CreateChildControl(parent, cls, text, WS_VISIBLE | style, id);
}

}  // namespace

bool CDeviceSelectionPage::Create(HWND parent, RECT area) {
  win::WindowPlacement at{area.left, area.top, area.right - area.left, area.bottom - area.top};
  if (!CWindow::Create(kDeviceSelectionPageClass, L"Device Plug-In Selection", WS_CHILD | WS_CLIPCHILDREN,
                       WS_EX_CONTROLPARENT, at, parent))
    return false;
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HWND title = makeControl(Handle(), L"BUTTON", L"Device Plug-In Selection", BS_GROUPBOX, kTitle);
  const HWND list = makeControl(Handle(), WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kList);
  const HWND info = makeControl(Handle(), L"BUTTON", L"Info", WS_TABSTOP | BS_PUSHBUTTON, kInfoButton);
  for (HWND c : {title, list, info}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  MoveWindow(title, 8, 4, 400, 80, FALSE);
  MoveWindow(list, 20, 32, 260, 240, FALSE);
  MoveWindow(info, 300, 30, 80, 26, FALSE);
  Refresh();
  return true;
}

void CDeviceSelectionPage::Refresh() {
  const HWND list = Control(kList);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Keyboard"));
  for (const auto& name : m_device.AllDeviceNames())
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::toWide(name).c_str()));
  const std::string current = m_device.Current() ? m_device.DeviceName() : std::string(kKeyboardDevice);
  LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(win::toWide(current).c_str()));
  SendMessageW(list, CB_SETCURSEL, index == CB_ERR ? 0 : index, 0);
  m_previous = CurrentChoice();
  EnableWindow(Control(kInfoButton), !iequals(m_previous, kKeyboardDevice));
}

std::string CDeviceSelectionPage::CurrentChoice() const {
  const HWND list = Control(kList);
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::string(kKeyboardDevice);
  std::wstring text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
  return win::toUtf8(text);
}

void CDeviceSelectionPage::StoreRegistryValue(const wchar_t* name, const std::string& value) {
  win::CRegKey key;
  if (key.Create(HKEY_CURRENT_USER, m_device.Options().registryKey)) key.SetString(name, win::toWide(value));
}

void CDeviceSelectionPage::KeyboardMode() {
  m_device.UnloadPlugin();
  EnableWindow(Control(kInfoButton), FALSE);
  m_device.SendStatus(abi::MainCode::kDeviceReady, kMsgKeyboardModeReady);
  StoreRegistryValue(kCurrentPluginValue, std::string(kKeyboardDevice));
  // Start-up reads "Current Device": without this the choice would not last.
  StoreRegistryValue(kCurrentDeviceValue, std::string(kKeyboardDevice));
}

void CDeviceSelectionPage::Choose(const std::string& deviceName) {
  if (!iequals(m_previous, kKeyboardDevice) && m_hooks.isApplyEnabled && m_hooks.isApplyEnabled() &&
      m_device.AskYesNo(win::toWide(kMsgSaveBeforeUnloading))) {
    if (m_hooks.saveAllSettings) m_hooks.saveAllSettings();
  }
  if (iequals(deviceName, kKeyboardDevice)) {
    KeyboardMode();
  } else if (!m_device.SelectDevice(deviceName, GetParent(Handle()))) {
    KeyboardMode();
    m_device.ShowError(win::toWide(kMsgCouldNotLoadPlugin));
    EnableWindow(Control(kInfoButton), TRUE);
  } else {
    EnableWindow(Control(kInfoButton), TRUE);
    StoreRegistryValue(kCurrentDeviceValue, deviceName);
    if (m_hooks.deviceChanged) m_hooks.deviceChanged();
    m_device.StartSession(true);
  }
  if (m_hooks.deviceChanged && !m_device.Current()) m_hooks.deviceChanged();
  // Show what is current now (keyboard after a failure).
  const HWND list = Control(kList);
  const std::string current = m_device.Current() ? m_device.DeviceName() : std::string(kKeyboardDevice);
  const LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(win::toWide(current).c_str()));
  if (index != CB_ERR) SendMessageW(list, CB_SETCURSEL, index, 0);
  m_previous = CurrentChoice();
}

LRESULT CDeviceSelectionPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) {
    if (LOWORD(wp) == kList && HIWORD(wp) == CBN_SELCHANGE) {
      Choose(CurrentChoice());
      return 0;
    }
    if (LOWORD(wp) == kInfoButton && HIWORD(wp) == BN_CLICKED) {
      // The help file (context 50 for "Keyboard") belongs to the settings; devices show their about box.
      if (m_device.Current()) m_device.ShowAbout(GetParent(Handle()));
      return 0;
    }
  }
  return CWindow::OnMessage(msg, wp, lp);
}

bool storeCurrentDevice(const CDevice& device) {
  const std::string name = device.Current() ? device.DeviceName() : std::string(kKeyboardDevice);
  win::CRegKey key;
  // The name is UTF-8 here, as startSavedDevice reads it back.
  return key.Create(HKEY_CURRENT_USER, device.Options().registryKey) &&
         key.SetString(kCurrentDeviceValue, win::toWide(name));
}

bool startSavedDevice(CDevice& device, HWND mainWindow) {
  device.SetNotifyWindow(mainWindow);
  std::string name(kKeyboardDevice);
  win::CRegKey key;
  if (key.Open(HKEY_CURRENT_USER, device.Options().registryKey))
    if (auto saved = key.QueryString(kCurrentDeviceValue)) name = win::toUtf8(*saved);
  if (name.empty() || iequals(name, kKeyboardDevice) || !device.SelectDevice(name, mainWindow)) {
    device.SendStatus(abi::MainCode::kDeviceReady, kMsgKeyboardModeReady);
    return false;
  }
  return device.StartSession(true);
}

}  // namespace vexa::device
