#include "plugins/tunerbox/win/tunerbox_dialog.h"

#include <memory>

#include "plugins/kit/win/module_info.h"
#include "plugins/tunerbox/copied_code.h"
#include "plugins/tunerbox/win/resource.h"
#include "plugins/tunerbox/win/tunerbox_device.h"
#include "plugins/tunerbox/win/tunerbox_texts.h"

namespace vexa::tunerbox {
namespace {

// Kept past process exit for the same reason as the device.
std::unique_ptr<CTunerboxDialog>& current() {
  static auto* dialog = new std::unique_ptr<CTunerboxDialog>;
  return *dialog;
}

}  // namespace

CTunerboxDialog::CTunerboxDialog(CTunerboxDevice& device)
    : m_device(device),
      m_ui{&device.Store(),
           kCaption,
           kLearnHint,
           {},
           [this](HWND owner) { return MayLearn(owner); },
           [&device](bool on) { device.SetLearning(on); },
           [&device] { return device.HostWindow(); }},
      m_tree(m_ui, {IDC_TUNERBOX_TREE, IDC_TUNERBOX_REMOTE, IDC_TUNERBOX_COMMAND, IDC_TUNERBOX_SIGNATURE}) {}

HWND CTunerboxDialog::Create(HWND parent, const abi::Point* position) {
  auto dialog = std::make_unique<CTunerboxDialog>(CTunerboxDevice::Instance());
  current().reset();
  if (!dialog->win::CModelessDialog::Create(parent, kit::thisModule(), IDD_TUNERBOX_CONFIG)) return nullptr;
  if (position)
    SetWindowPos(dialog->Handle(), HWND_TOP, position->x, position->y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  current() = std::move(dialog);
  return current()->Handle();
}

CTunerboxDialog* CTunerboxDialog::Current() {
  auto& dialog = current();
  return dialog && dialog->Handle() ? dialog.get() : nullptr;
}

void CTunerboxDialog::Refresh() {
  if (CTunerboxDialog* dialog = Current()) {
    dialog->ShowHardware();
    dialog->m_tree.Fill();
  }
}

void CTunerboxDialog::TakeData() {
  // The dialog hands every change over as it happens; nothing is pending here.
}

bool CTunerboxDialog::OnInitDialog() {
  ShowHardware();
  m_tree.Attach(m_hwnd);
  return true;
}

void CTunerboxDialog::ShowHardware() {
  SetDlgItemTextA(m_hwnd, IDC_TUNERBOX_CARD, m_device.CardName().c_str());
  SetDlgItemTextA(m_hwnd, IDC_TUNERBOX_STATUS, m_device.StatusLine().c_str());
  // The wizard finds GPIO wiring; a microcontroller needs none.
  EnableItem(IDC_TUNERBOX_WIZARD, !m_device.UsesMicrocontroller());
}

bool CTunerboxDialog::MayLearn(HWND owner) {
  if (m_device.Initialised()) return true;
  MessageBoxA(owner, kNotInitialisedText, kCaption, MB_OK | MB_ICONINFORMATION);
  return false;
}

bool CTunerboxDialog::OnCommand(int id, int notification, HWND control) {
  if (id == IDC_TUNERBOX_WIZARD) {
    m_device.RunWizard(m_hwnd);
    ShowHardware();
    return true;
  }
  if (id == IDC_TUNERBOX_INITIALIZE) {
    m_device.Reinitialize();
    ShowHardware();
    return true;
  }
  return m_tree.OnCommand(id) || win::CModelessDialog::OnCommand(id, notification, control);
}

bool CTunerboxDialog::OnNotify(int, NMHDR& header, LRESULT& result) { return m_tree.OnNotify(header, result); }

bool CTunerboxDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg != WM_COPYDATA) return win::CModelessDialog::OnMessage(msg, wp, lp, result);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
  const auto code = data ? codeFromCopiedBytes(data->lpData, data->cbData) : std::nullopt;
  if (code) m_device.DeliverCode(*code);
  // A dialog answers this message through its result slot.
  SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, code ? TRUE : FALSE);
  result = TRUE;
  return true;
}

}  // namespace vexa::tunerbox
