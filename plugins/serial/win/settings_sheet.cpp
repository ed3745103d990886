#include "plugins/serial/win/settings_sheet.h"

#include <commctrl.h>

#include <string>

#include "plugins/serial/line_tables.h"
#include "plugins/serial/setting_ranges.h"
#include "plugins/kit/win/host_windows.h"
#include "plugins/kit/win/module_info.h"
#include "plugins/serial/win/resource.h"

namespace vexa::serial {

namespace {

constexpr const char* kSheetErrorCaption = "Serial receiver plugin";

void showHelp(HWND dialog) {
  const std::string file = kit::helpFile("Serial.hlp");
  if (!file.empty()) WinHelpA(dialog, file.c_str(), HELP_CONTEXT, 1);
}

std::string itemText(HWND dialog, int id) {
  char text[512];
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

void addEntries(HWND combo, const std::vector<const LineEntry*>& entries) {
  for (const LineEntry* entry : entries) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry->name));
}

void selectName(HWND dialog, int id, const std::string& name) {
  HWND combo = GetDlgItem(dialog, id);
  const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(combo, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
}

// A list without a selection keeps the setting it had.
void storeSelection(HWND dialog, int id, std::string& setting) {
  HWND combo = GetDlgItem(dialog, id);
  const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  char text[64] = {};
  if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < static_cast<LRESULT>(sizeof(text)))
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  setting = text;
}

int32_t itemInt(HWND dialog, int id) {
  BOOL ok = FALSE;
  const UINT value = GetDlgItemInt(dialog, id, &ok, FALSE);
  return ok ? static_cast<int32_t>(value) : 0;
}

}  // namespace

bool CHelpPage::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (header.code != PSN_HELP) return CPropertyPage::OnNotify(id, header, result);
  showHelp(m_hwnd);
  return true;
}

// ---- Port page ---------------------------------------------------------------

bool CPortSettings::QueryProperties(COMMPROP& props) {
  if (m_openPort.IsOpen()) return m_openPort.GetProperties(props);
  const std::string name = kit::selectedPortName(100);
  if (name.empty()) {
    MessageBoxA(m_hwnd, "Unable to get COM port properties", kSheetErrorCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  win::CSerialPort port;
  if (!port.Open(name.c_str())) {
    if (GetLastError() == ERROR_ACCESS_DENIED)
      MessageBoxA(m_hwnd, (name + " is in use by another application.").c_str(), kSheetErrorCaption,
                  MB_OK | MB_ICONINFORMATION);
    return false;
  }
  return port.GetProperties(props);
}

bool CPortSettings::OnInitDialog() {
  const HWND dialog = m_hwnd;
  COMMPROP props{};
  if (QueryProperties(props)) {
    addEntries(GetDlgItem(dialog, IDC_BAUD), supportedEntries(baudRates(), props.dwSettableBaud, caps::kBaudUser));
    addEntries(GetDlgItem(dialog, IDC_DATABITS), supportedEntries(dataBits(), props.wSettableData));
    // Stop bits and parity share one mask; each keeps only its own bits.
    addEntries(GetDlgItem(dialog, IDC_STOPBITS), supportedEntries(stopBits(), props.wSettableStopParity & 0x00FF));
    addEntries(GetDlgItem(dialog, IDC_PARITY), supportedEntries(parities(), props.wSettableStopParity & 0xFF00));
  }
  addEntries(GetDlgItem(dialog, IDC_RTS), supportedEntries(rtsControls(), 0));
  addEntries(GetDlgItem(dialog, IDC_DTR), supportedEntries(dtrControls(), 0));
  selectName(dialog, IDC_BAUD, m_port.baud);
  selectName(dialog, IDC_PARITY, m_port.parity);
  selectName(dialog, IDC_STOPBITS, m_port.stopBits);
  selectName(dialog, IDC_DATABITS, m_port.dataBits);
  selectName(dialog, IDC_RTS, m_port.rts);
  selectName(dialog, IDC_DTR, m_port.dtr);
  return true;
}

bool CPortSettings::OnApply() {
  storeSelection(m_hwnd, IDC_BAUD, m_port.baud);
  storeSelection(m_hwnd, IDC_PARITY, m_port.parity);
  storeSelection(m_hwnd, IDC_STOPBITS, m_port.stopBits);
  storeSelection(m_hwnd, IDC_DATABITS, m_port.dataBits);
  storeSelection(m_hwnd, IDC_RTS, m_port.rts);
  storeSelection(m_hwnd, IDC_DTR, m_port.dtr);
  return true;
}

// ---- Device page -------------------------------------------------------------

bool CDeviceSettings::OnInitDialog() {
  const HWND dialog = m_hwnd;
  m_filling = true;
  CheckDlgButton(dialog, IDC_INIT_CHECK, m_device.initEnabled ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_INIT_EDIT, m_device.init.c_str());
  CheckDlgButton(dialog, IDC_RESPONSE_CHECK, m_device.responseEnabled ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_RESPONSE_EDIT, m_device.response.c_str());
  SendDlgItemMessageA(dialog, IDC_CODELENGTH_SPIN, UDM_SETRANGE32, 1, kMaxCodeLength);
  SendDlgItemMessageA(dialog, IDC_LEARNSAMPLES_SPIN, UDM_SETRANGE32, 1, 5);
  SendDlgItemMessageA(dialog, IDC_TOLERANCE_SPIN, UDM_SETRANGE32, 0, 100);
  SetDlgItemInt(dialog, IDC_CODELENGTH, m_device.codeLength, FALSE);
  SetDlgItemInt(dialog, IDC_LEARNSAMPLES, static_cast<UINT>(m_device.learnSamples), FALSE);
  SetDlgItemInt(dialog, IDC_TOLERANCE, static_cast<UINT>(m_device.tolerance), FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_INIT_EDIT), m_device.initEnabled);
  EnableWindow(GetDlgItem(dialog, IDC_RESPONSE_EDIT), m_device.responseEnabled);
  m_filling = false;
  return true;
}

bool CDeviceSettings::OnApply() {
  const HWND dialog = m_hwnd;
  m_device.initEnabled = IsDlgButtonChecked(dialog, IDC_INIT_CHECK) == BST_CHECKED;
  m_device.init = itemText(dialog, IDC_INIT_EDIT);
  m_device.responseEnabled = IsDlgButtonChecked(dialog, IDC_RESPONSE_CHECK) == BST_CHECKED;
  m_device.response = itemText(dialog, IDC_RESPONSE_EDIT);
  m_device.codeLength = correctCodeLength(static_cast<uint32_t>(itemInt(dialog, IDC_CODELENGTH)));
  m_device.learnSamples = correctLearnSamples(itemInt(dialog, IDC_LEARNSAMPLES));
  m_device.tolerance = correctTolerance(itemInt(dialog, IDC_TOLERANCE));
  return true;
}

bool CDeviceSettings::OnCommand(int id, int notification, HWND) {
  const HWND dialog = m_hwnd;
  if (m_filling) return false;
  if (id == IDC_INIT_CHECK || id == IDC_RESPONSE_CHECK) {
    EnableWindow(GetDlgItem(dialog, id + 1), IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    return false;
  }
  if (notification != EN_CHANGE) return false;
  // Out-of-range numbers are corrected in place as they are typed.
  const int32_t typed = itemInt(dialog, id);
  int32_t corrected = typed;
  if (id == IDC_CODELENGTH) corrected = static_cast<int32_t>(correctCodeLength(static_cast<uint32_t>(typed)));
  else if (id == IDC_LEARNSAMPLES) corrected = correctLearnSamples(typed);
  else if (id == IDC_TOLERANCE) corrected = correctTolerance(typed);
  else return false;
  if (corrected != typed && !itemText(dialog, id).empty()) {
    m_filling = true;
    SetDlgItemInt(dialog, id, static_cast<UINT>(corrected), FALSE);
    m_filling = false;
  }
  return false;
}

// ---- Advanced page -----------------------------------------------------------

bool CAdvancedSettings::OnInitDialog() {
  const HWND dialog = m_hwnd;
  SetDlgItemInt(dialog, IDC_RESET, static_cast<UINT>(m_advanced.resetMs), FALSE);
  SetDlgItemInt(dialog, IDC_POWERUP, static_cast<UINT>(m_advanced.powerUpMs), FALSE);
  SetDlgItemInt(dialog, IDC_TXDDELAY, static_cast<UINT>(m_advanced.txdDelayMs), FALSE);
  SetDlgItemInt(dialog, IDC_RXDDELAY, static_cast<UINT>(m_advanced.rxdDelayMs), FALSE);
  const bool reinit = m_advanced.reInitSeconds != 0;
  CheckDlgButton(dialog, IDC_REINIT_CHECK, reinit ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(dialog, IDC_REINIT, static_cast<UINT>(m_advanced.reInitSeconds), FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_REINIT), reinit);
  return true;
}

bool CAdvancedSettings::OnApply() {
  const HWND dialog = m_hwnd;
  m_advanced.resetMs = itemInt(dialog, IDC_RESET);
  m_advanced.powerUpMs = itemInt(dialog, IDC_POWERUP);
  m_advanced.txdDelayMs = itemInt(dialog, IDC_TXDDELAY);
  m_advanced.rxdDelayMs = itemInt(dialog, IDC_RXDDELAY);
  m_advanced.reInitSeconds =
      IsDlgButtonChecked(dialog, IDC_REINIT_CHECK) == BST_CHECKED ? itemInt(dialog, IDC_REINIT) : 0;
  return true;
}

bool CAdvancedSettings::OnCommand(int id, int, HWND) {
  if (id == IDC_REINIT_CHECK)
    EnableWindow(GetDlgItem(m_hwnd, IDC_REINIT), IsDlgButtonChecked(m_hwnd, IDC_REINIT_CHECK) == BST_CHECKED);
  return false;
}

// ---- Sheet -------------------------------------------------------------------

bool CSettingsSheet::Run(HWND parent) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  CPortSettings portPage(m_working.port, m_openPort);
  CDeviceSettings devicePage(m_working.device);
  CAdvancedSettings advancedPage(m_working.advanced);
  std::vector<PROPSHEETPAGEW> pages;
  for (auto [page, id] : {std::pair<win::CPropertyPage*, int>{&portPage, IDD_PORT_SETTINGS},
                          {&devicePage, IDD_DEVICE_SETTINGS},
                          {&advancedPage, IDD_ADVANCED_SETTINGS}}) {
    pages.push_back(page->Describe(kit::thisModule(), id));
    pages.back().dwFlags |= PSP_HASHELP;
  }
  if (!win::runPropertySheet(parent, L"Device Settings", std::move(pages), PSH_NOAPPLYNOW | PSH_HASHELP)) return false;
  m_settings = m_working;
  return true;
}

}  // namespace vexa::serial
