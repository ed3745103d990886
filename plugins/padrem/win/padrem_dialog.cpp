#include "plugins/padrem/win/padrem_dialog.h"

#include "plugins/kit/win/module_info.h"
#include "plugins/padrem/win/padrem_device.h"
#include "plugins/padrem/win/resource.h"
#include "vexa/winlib/serial_port.h"
#include "vexa/winlib/unicode.h"

namespace vexa::padrem {

namespace {

constexpr const char* kCaption = "PADREM plugin";
constexpr const char* kLearnHint =
    "Please enter a name for the button and press this button on your remote control two times.\n\n"
    "The progress bar will indicate if signals were received from the remote control.";
constexpr int kPortsProbed = 8;

// Kept past process exit for the same reason as the device.
std::unique_ptr<CPadremDialog>& current() {
  static auto* dialog = new std::unique_ptr<CPadremDialog>;
  return *dialog;
}

}  // namespace

CPadremDialog::CPadremDialog(CPadremDevice& device)
    : m_device(device),
      m_ui{&device.Store(),
           kCaption,
           kLearnHint,
           kLearnRules,
           [this](HWND owner) { return MayLearn(owner); },
           [&device](bool on) { device.SetLearning(on); },
           [&device] { return device.HostWindow(); }},
      m_tree(m_ui, {IDC_PADREM_TREE, IDC_PADREM_REMOTE, IDC_PADREM_COMMAND, IDC_PADREM_SIGNATURE}) {}

HWND CPadremDialog::Create(HWND parent, const abi::Point* position) {
  auto dialog = std::make_unique<CPadremDialog>(CPadremDevice::Instance());
  current().reset();
  if (!dialog->win::CModelessDialog::Create(parent, kit::thisModule(), IDD_PADREM_CONFIG)) return nullptr;
  if (position)
    SetWindowPos(dialog->Handle(), HWND_TOP, position->x, position->y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  current() = std::move(dialog);
  return current()->Handle();
}

CPadremDialog* CPadremDialog::Current() {
  auto& dialog = current();
  return dialog && dialog->Handle() ? dialog.get() : nullptr;
}

void CPadremDialog::Refresh() {
  if (CPadremDialog* dialog = Current()) {
    dialog->ShowSettings();
    dialog->m_tree.Fill();
  }
}

void CPadremDialog::ShowReceiver() {
  if (CPadremDialog* dialog = Current()) dialog->ShowSettings();
}

void CPadremDialog::TakeData() {
  // The dialog hands every change over as it happens; nothing is pending here.
}

bool CPadremDialog::OnInitDialog() {
  FillPorts();
  ShowSettings();
  m_tree.Attach(m_hwnd);
  return true;
}

void CPadremDialog::FillPorts() {
  // Probed once: opening every port is slow, and ports come and go rarely.
  static const std::vector<std::wstring> ports = win::ListPorts(L"COM", kPortsProbed);
  SendItem(IDC_PADREM_PORT, CB_RESETCONTENT);
  for (const std::wstring& port : ports) SendItem(IDC_PADREM_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()));
}

void CPadremDialog::ShowSettings() {
  const std::wstring port = win::ansiToWide(m_device.ChosenPort());
  const LRESULT index = SendItem(IDC_PADREM_PORT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(port.c_str()));
  SendItem(IDC_PADREM_PORT, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index));
  CheckButton(IDC_PADREM_MOUSEPAD, m_device.Mousepad());
  // The pad moves the pointer only on the port, not through the driver.
  EnableItem(IDC_PADREM_MOUSEPAD, m_device.PortOpen());
  SetDlgItemTextA(m_hwnd, IDC_PADREM_STATUS, m_device.StatusLine().c_str());
}

bool CPadremDialog::MayLearn(HWND owner) {
  const char* problem = nullptr;
  if (!m_device.ReceiverOpen())
    problem = "PADREM not initialized.\nCheck COM port settings and click the Test\nbutton to initialize hardware.";
  else if (!m_device.UsingDriver() && m_device.ChosenPort() != m_device.OpenPort())
    problem = "COM port settings have changed.\nPlease click Initialize first to test configuration.";
  if (problem) MessageBoxA(owner, problem, kCaption, MB_OK | MB_ICONINFORMATION);
  return problem == nullptr;
}

bool CPadremDialog::OnCommand(int id, int notification, HWND control) {
  switch (id) {
    case IDC_PADREM_PORT:
      if (notification == CBN_SELCHANGE) {
        char port[16] = {};
        GetDlgItemTextA(m_hwnd, IDC_PADREM_PORT, port, sizeof port);
        m_device.ChoosePort(port);
      }
      return true;
    case IDC_PADREM_INITIALIZE:
      m_device.Initialize(m_hwnd);
      ShowSettings();
      return true;
    case IDC_PADREM_MOUSEPAD:
      m_device.SetMousepad(IsButtonChecked(IDC_PADREM_MOUSEPAD));
      store::notifyStoreChanged(m_ui);
      return true;
    default:
      return m_tree.OnCommand(id) || win::CModelessDialog::OnCommand(id, notification, control);
  }
}

bool CPadremDialog::OnNotify(int, NMHDR& header, LRESULT& result) { return m_tree.OnNotify(header, result); }

}  // namespace vexa::padrem
