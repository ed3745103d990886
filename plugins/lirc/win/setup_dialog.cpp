#include "plugins/lirc/win/setup_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include "plugins/lirc/win/resource.h"

namespace vexa::lirc {

namespace {
constexpr int kSpinMaximum = 600;
constexpr UINT kSpinStep = 15;
}  // namespace

bool CSetupDialog::OnInitDialog() {
  SendItem(IDC_SERVER_IP, EM_LIMITTEXT, kMaxAddressLength);
  SendItem(IDC_LIRC_PATH, EM_LIMITTEXT, kMaxPathLength);
  SendItem(IDC_SECONDS_SPIN, UDM_SETRANGE32, 0, kSpinMaximum);
  UDACCEL step{0, kSpinStep};
  SendItem(IDC_SECONDS_SPIN, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
  ShowFields(m_initial);
  m_owner.OnSetupShown();
  return true;
}

void CSetupDialog::ShowFields(const LircFields& f) {
  // Filling the fields is not the user editing them.
  m_filling = true;
  SetItemText(IDC_SERVER_IP, f.address);
  SetItemInt(IDC_SERVER_PORT, f.port);
  CheckButton(IDC_AUTOSTART, f.autoStart);
  SetItemText(IDC_LIRC_PATH, f.path);
  CheckButton(IDC_RECONNECT, f.reconnect);
  SetItemInt(IDC_SECONDS, f.seconds);
  m_filling = false;
  UpdateEnabling();
}

LircFields CSetupDialog::Fields() const {
  LircFields f;
  f.address = ItemText(IDC_SERVER_IP);
  f.port = ItemInt(IDC_SERVER_PORT).value_or(0);
  f.autoStart = IsButtonChecked(IDC_AUTOSTART);
  f.path = ItemText(IDC_LIRC_PATH);
  f.reconnect = IsButtonChecked(IDC_RECONNECT);
  f.seconds = ItemInt(IDC_SECONDS).value_or(0);
  return f;
}

void CSetupDialog::UpdateEnabling() const {
  const bool autoStart = IsButtonChecked(IDC_AUTOSTART);
  EnableItem(IDC_LIRC_PATH, autoStart);
  EnableItem(IDC_BROWSE, autoStart);
  const bool reconnect = IsButtonChecked(IDC_RECONNECT);
  EnableItem(IDC_SECONDS, reconnect);
  EnableItem(IDC_SECONDS_SPIN, reconnect);
}

void CSetupDialog::Browse() {
  char file[MAX_PATH] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hwnd;
  ofn.lpstrFilter = "Executable files (*.exe)\0*.exe\0\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameA(&ofn)) SetWindowTextA(Item(IDC_LIRC_PATH), file);
}

bool CSetupDialog::OnCommand(int id, int notification, HWND) {
  switch (id) {
    case IDC_SET_DEFAULT:
      SetItemText(IDC_SERVER_IP, kDefaultAddress);
      SetItemInt(IDC_SERVER_PORT, kDefaultPort);
      return true;
    case IDC_CONNECT:
      m_owner.OnConnectClicked();
      return true;
    case IDC_BROWSE:
      Browse();
      return true;
    case IDC_AUTOSTART:
    case IDC_RECONNECT:
      if (notification != BN_CLICKED) return false;
      UpdateEnabling();
      if (!m_filling) m_owner.OnFieldsEdited();
      return true;
    case IDC_SERVER_IP:
    case IDC_SERVER_PORT:
    case IDC_LIRC_PATH:
    case IDC_SECONDS:
      if (notification != EN_CHANGE) return false;
      if (!m_filling) m_owner.OnFieldsEdited();
      return true;
    default:
      return false;
  }
}

}  // namespace vexa::lirc
