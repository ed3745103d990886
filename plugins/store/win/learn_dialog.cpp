#include "plugins/store/win/learn_dialog.h"

#include <commctrl.h>

#include "plugins/store/win/store_resource.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::store {

namespace {

std::string itemTextA(HWND dialog, int id) {
  char text[kMaxName + 1] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

}  // namespace

void notifyStoreChanged(const StoreUi& ui) {
  if (HWND host = ui.hostWindow ? ui.hostWindow() : nullptr)
    SendMessageA(host, abi::kVexaMessage, abi::MainCode::kSettingsChanged, 0);
}

int CLearnDialog::Ask(const std::string& text, UINT type) const {
  return MessageBoxA(m_hwnd, text.c_str(), m_ui.caption.c_str(), type);
}

bool CLearnDialog::OnInitDialog() {
  SetDlgItemTextA(m_hwnd, IDC_LEARN_HINT, m_ui.learnHint.c_str());
  for (const std::string& remote : m_ui.store->remoteNames())
    SendDlgItemMessageA(m_hwnd, IDC_LEARN_REMOTE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(remote.c_str()));
  SendItem(IDC_LEARN_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  EnableItem(IDOK, false);
  EnableItem(IDC_LEARN_ANOTHER, false);
  SendDlgItemMessageA(m_hwnd, IDC_LEARN_NAME, EM_LIMITTEXT, kMaxName, 0);
  if (!m_remote.empty()) {
    SetDlgItemTextA(m_hwnd, IDC_LEARN_REMOTE, m_remote.c_str());
    SetFocus(Item(IDC_LEARN_NAME));
  } else {
    SetFocus(Item(IDC_LEARN_REMOTE));
  }
  return false;
}

bool CLearnDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg != abi::kVexaMessage || wp != 0) return false;
  OnCode(static_cast<uint32_t>(lp));
  result = 1;
  return true;
}

void CLearnDialog::OnCode(uint32_t code) {
  const CLearnState::Outcome outcome = m_learn.feed(code);
  SendItem(IDC_LEARN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(m_learn.progress()));
  if (outcome == CLearnState::Outcome::kRetry)
    Ask("The signals were not identical.\nPlease retry", MB_OK | MB_ICONINFORMATION);
  // Codes that queued up meanwhile belong to the same press.
  MSG queued;
  while (PeekMessageW(&queued, m_hwnd, abi::kVexaMessage, abi::kVexaMessage, PM_REMOVE)) {
  }
  EnableItem(IDOK, m_learn.learned());
  EnableItem(IDC_LEARN_ANOTHER, m_learn.learned());
}

void CLearnDialog::ResetLearning() {
  m_learn.reset();
  SendItem(IDC_LEARN_PROGRESS, PBM_SETPOS, 0);
  EnableItem(IDOK, false);
  EnableItem(IDC_LEARN_ANOTHER, false);
}

bool CLearnDialog::Save() {
  const std::string remote = itemTextA(m_hwnd, IDC_LEARN_REMOTE);
  const std::string name = itemTextA(m_hwnd, IDC_LEARN_NAME);
  if (remote.empty()) {
    Ask("Please enter a name for the remote", MB_OK | MB_ICONINFORMATION);
    SetFocus(Item(IDC_LEARN_REMOTE));
    return false;
  }
  if (name.empty()) {
    Ask("Please enter a name for this button", MB_OK | MB_ICONINFORMATION);
    SetFocus(Item(IDC_LEARN_NAME));
    return false;
  }
  if (hasReservedChar(remote) || hasReservedChar(name)) {
    Ask("Please do not use reserved characters.\n#[]@=| are reserved for internal use.", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (auto same = m_ui.store->findByCode(remote, m_learn.code())) {
    const std::string text = "This remote button is already assigned to '" + same->name +
                             "'.\nIf you want to delete this button, click YES.\nOtherwise, click NO and learn another.";
    if (Ask(text, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      ResetLearning();
      SetFocus(Item(IDC_LEARN_NAME));
      return false;
    }
    m_ui.store->removeCommand(remote, same->name);
    m_removed(remote, same->name);
  }
  if (m_ui.store->findByName(remote, name)) {
    if (Ask("This button name already exists.\nIf you want to delete this button, click YES.\nOtherwise, click NO "
            "and enter a new name.",
            MB_YESNO | MB_ICONQUESTION) != IDYES) {
      SetFocus(Item(IDC_LEARN_NAME));
      return false;
    }
    m_ui.store->removeCommand(remote, name);
    m_removed(remote, name);
  }
  m_ui.store->appendCommand(remote, name, m_learn.code());
  m_learned(remote, name);
  notifyStoreChanged(m_ui);
  return true;
}

void CLearnDialog::OnOK() {
  if (m_learn.learned() && Save()) End(IDOK);
}

bool CLearnDialog::OnCommand(int id, int notification, HWND control) {
  if (id != IDC_LEARN_ANOTHER) return CModalDialog::OnCommand(id, notification, control);
  if (!m_learn.learned() || !Save()) return true;
  ResetLearning();
  SetDlgItemTextA(m_hwnd, IDC_LEARN_NAME, "");
  SetFocus(Item(IDC_LEARN_NAME));
  return true;
}

}  // namespace vexa::store
