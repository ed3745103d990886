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

// The page object rides in the property page's lParam; dialogs keep it in DWLP_USER.
template <class Page>
Page* pageOf(HWND dialog, UINT msg, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* page = reinterpret_cast<Page*>(reinterpret_cast<PROPSHEETPAGEA*>(lp)->lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    return page;
  }
  return reinterpret_cast<Page*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void showHelp(HWND dialog) {
  const std::string file = kit::helpFile("Serial.hlp");
  if (!file.empty()) WinHelpA(dialog, file.c_str(), HELP_CONTEXT, 1);
}

// Common notifications: apply stores the page, help opens the help file.
template <class Page>
bool handleNotify(HWND dialog, LPARAM lp, Page& page, void (Page::*store)(HWND)) {
  const auto* header = reinterpret_cast<NMHDR*>(lp);
  if (header->code == PSN_APPLY) {
    (page.*store)(dialog);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
    return true;
  }
  if (header->code == PSN_HELP) {
    showHelp(dialog);
    return true;
  }
  return false;
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

// ---- Port page ---------------------------------------------------------------

bool CPortSettings::QueryProperties(HWND dialog, COMMPROP& props) {
  if (m_openPort.IsOpen()) return m_openPort.GetProperties(props);
  const std::string name = kit::selectedPortName(100);
  if (name.empty()) {
    MessageBoxA(dialog, "Unable to get COM port properties", kSheetErrorCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  win::CSerialPort port;
  if (!port.Open(name.c_str())) {
    if (GetLastError() == ERROR_ACCESS_DENIED)
      MessageBoxA(dialog, (name + " is in use by another application.").c_str(), kSheetErrorCaption,
                  MB_OK | MB_ICONINFORMATION);
    return false;
  }
  return port.GetProperties(props);
}

void CPortSettings::Fill(HWND dialog) {
  COMMPROP props{};
  if (QueryProperties(dialog, props)) {
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
}

void CPortSettings::Store(HWND dialog) {
  storeSelection(dialog, IDC_BAUD, m_port.baud);
  storeSelection(dialog, IDC_PARITY, m_port.parity);
  storeSelection(dialog, IDC_STOPBITS, m_port.stopBits);
  storeSelection(dialog, IDC_DATABITS, m_port.dataBits);
  storeSelection(dialog, IDC_RTS, m_port.rts);
  storeSelection(dialog, IDC_DTR, m_port.dtr);
}

INT_PTR CALLBACK CPortSettings::DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  CPortSettings* page = pageOf<CPortSettings>(dialog, msg, lp);
  if (!page) return FALSE;
  if (msg == WM_INITDIALOG) return page->Fill(dialog), TRUE;
  if (msg == WM_NOTIFY) return handleNotify(dialog, lp, *page, &CPortSettings::Store);
  return FALSE;
}

// ---- Device page -------------------------------------------------------------

void CDeviceSettings::Fill(HWND dialog) {
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
}

void CDeviceSettings::Store(HWND dialog) {
  m_device.initEnabled = IsDlgButtonChecked(dialog, IDC_INIT_CHECK) == BST_CHECKED;
  m_device.init = itemText(dialog, IDC_INIT_EDIT);
  m_device.responseEnabled = IsDlgButtonChecked(dialog, IDC_RESPONSE_CHECK) == BST_CHECKED;
  m_device.response = itemText(dialog, IDC_RESPONSE_EDIT);
  m_device.codeLength = correctCodeLength(static_cast<uint32_t>(itemInt(dialog, IDC_CODELENGTH)));
  m_device.learnSamples = correctLearnSamples(itemInt(dialog, IDC_LEARNSAMPLES));
  m_device.tolerance = correctTolerance(itemInt(dialog, IDC_TOLERANCE));
}

void CDeviceSettings::OnCommand(HWND dialog, WORD id, WORD notification) {
  if (m_filling) return;
  if (id == IDC_INIT_CHECK || id == IDC_RESPONSE_CHECK) {
    EnableWindow(GetDlgItem(dialog, id + 1), IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    return;
  }
  if (notification != EN_CHANGE) return;
  // Out-of-range numbers are corrected in place as they are typed.
  const int32_t typed = itemInt(dialog, id);
  int32_t corrected = typed;
  if (id == IDC_CODELENGTH) corrected = static_cast<int32_t>(correctCodeLength(static_cast<uint32_t>(typed)));
  else if (id == IDC_LEARNSAMPLES) corrected = correctLearnSamples(typed);
  else if (id == IDC_TOLERANCE) corrected = correctTolerance(typed);
  else return;
  if (corrected != typed && !itemText(dialog, id).empty()) {
    m_filling = true;
    SetDlgItemInt(dialog, id, static_cast<UINT>(corrected), FALSE);
    m_filling = false;
  }
}

INT_PTR CALLBACK CDeviceSettings::DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  CDeviceSettings* page = pageOf<CDeviceSettings>(dialog, msg, lp);
  if (!page) return FALSE;
  if (msg == WM_INITDIALOG) return page->Fill(dialog), TRUE;
  if (msg == WM_COMMAND) return page->OnCommand(dialog, LOWORD(wp), HIWORD(wp)), FALSE;
  if (msg == WM_NOTIFY) return handleNotify(dialog, lp, *page, &CDeviceSettings::Store);
  return FALSE;
}

// ---- Advanced page -----------------------------------------------------------

void CAdvancedSettings::Fill(HWND dialog) {
  SetDlgItemInt(dialog, IDC_RESET, static_cast<UINT>(m_advanced.resetMs), FALSE);
  SetDlgItemInt(dialog, IDC_POWERUP, static_cast<UINT>(m_advanced.powerUpMs), FALSE);
  SetDlgItemInt(dialog, IDC_TXDDELAY, static_cast<UINT>(m_advanced.txdDelayMs), FALSE);
  SetDlgItemInt(dialog, IDC_RXDDELAY, static_cast<UINT>(m_advanced.rxdDelayMs), FALSE);
  const bool reinit = m_advanced.reInitSeconds != 0;
  CheckDlgButton(dialog, IDC_REINIT_CHECK, reinit ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(dialog, IDC_REINIT, static_cast<UINT>(m_advanced.reInitSeconds), FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_REINIT), reinit);
}

void CAdvancedSettings::Store(HWND dialog) {
  m_advanced.resetMs = itemInt(dialog, IDC_RESET);
  m_advanced.powerUpMs = itemInt(dialog, IDC_POWERUP);
  m_advanced.txdDelayMs = itemInt(dialog, IDC_TXDDELAY);
  m_advanced.rxdDelayMs = itemInt(dialog, IDC_RXDDELAY);
  m_advanced.reInitSeconds =
      IsDlgButtonChecked(dialog, IDC_REINIT_CHECK) == BST_CHECKED ? itemInt(dialog, IDC_REINIT) : 0;
}

INT_PTR CALLBACK CAdvancedSettings::DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  CAdvancedSettings* page = pageOf<CAdvancedSettings>(dialog, msg, lp);
  if (!page) return FALSE;
  if (msg == WM_INITDIALOG) return page->Fill(dialog), TRUE;
  if (msg == WM_COMMAND && LOWORD(wp) == IDC_REINIT_CHECK) {
    EnableWindow(GetDlgItem(dialog, IDC_REINIT), IsDlgButtonChecked(dialog, IDC_REINIT_CHECK) == BST_CHECKED);
    return FALSE;
  }
  if (msg == WM_NOTIFY) return handleNotify(dialog, lp, *page, &CAdvancedSettings::Store);
  return FALSE;
}

// ---- Sheet -------------------------------------------------------------------

bool CSettingsSheet::Run(HWND parent) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  CPortSettings portPage(m_working.port, m_openPort);
  CDeviceSettings devicePage(m_working.device);
  CAdvancedSettings advancedPage(m_working.advanced);

  PROPSHEETPAGEA pages[3]{};
  auto setUp = [](PROPSHEETPAGEA& page, int dialogId, DLGPROC proc, void* object) {
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_HASHELP;
    page.hInstance = kit::thisModule();
    page.pszTemplate = MAKEINTRESOURCEA(dialogId);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(object);
  };
  setUp(pages[0], IDD_PORT_SETTINGS, &CPortSettings::DialogProc, &portPage);
  setUp(pages[1], IDD_DEVICE_SETTINGS, &CDeviceSettings::DialogProc, &devicePage);
  setUp(pages[2], IDD_ADVANCED_SETTINGS, &CAdvancedSettings::DialogProc, &advancedPage);

  PROPSHEETHEADERA header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP;
  header.hwndParent = parent;
  header.hInstance = kit::thisModule();
  header.pszCaption = "Device Settings";
  header.nPages = 3;
  header.ppsp = pages;
  if (PropertySheetA(&header) <= 0) return false;
  m_settings = m_working;
  return true;
}

}  // namespace vexa::serial
