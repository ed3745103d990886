#include "vexa/shell/win/message_capture.h"

#include <commctrl.h>

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/actions/post_message.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/shell/win/hook_module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

using InstallMsgHookFn = uintptr_t(WINAPI*)(DWORD threadId);
using UnHookMsgFn = void(WINAPI*)(uintptr_t hook);

HWND windowOf(uint32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

// As the "PostMessage" action posts the row's text: a click is down and up.
void postAsTheAction(HWND window, const CapturedMessage& m) {
  std::string status;
  exec::postMessageText(window, capturedMessageText(m), status);
}

}  // namespace

CMessageCapture::CMessageCapture(std::string targetName, PickWindow pick, Post post)
    : m_targetName(std::move(targetName)), m_pick(std::move(pick)), m_post(post ? std::move(post) : postAsTheAction) {}

std::optional<CapturedChoice> CMessageCapture::Run(HWND owner) {
  m_result.reset();
  DoModal(owner, GetModuleHandleW(nullptr), IDD_MESSAGE_CAPTURE);
  return m_result;
}

bool CMessageCapture::OnInitDialog() {
  const HWND list = Item(IDC_MC_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const wchar_t* titles[] = {L"Message", L"Description", L"wParam", L"lParam"};
  const int widths[] = {130, 150, 90, 90};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(titles[i]);
    column.cx = widths[i];
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SetTarget(m_targetName);
  SyncButtons();
  return true;
}

void CMessageCapture::SetTarget(const std::string& name) {
  RemoveHooks();
  m_targetName = name;
  m_target = findNamedWindow(name);
  SetItemText(IDC_MC_TARGET, "Current Window: " + name);
  InstallHooks();
}

bool CMessageCapture::InstallHooks() {
  if (!m_target) return false;
  if (!m_hooks.IsValid() && !m_hooks.Load(kHookLibrary)) return false;
  const DWORD thread = GetWindowThreadProcessId(m_target, nullptr);
  if (const auto install = m_hooks.GetProc<InstallMsgHookFn>("InstallMsgHook")) m_messageHook = install(thread);
  if (const auto install = m_hooks.GetProc<InstallMsgHookFn>("InstallWndProcHook")) m_wndProcHook = install(thread);
  return m_messageHook || m_wndProcHook;
}

void CMessageCapture::RemoveHooks() {
  if (m_hooks.IsValid())
    if (const auto unhook = m_hooks.GetProc<UnHookMsgFn>("UnHookMsg")) {
      if (m_messageHook) unhook(m_messageHook);
      if (m_wndProcHook) unhook(m_wndProcHook);
    }
  m_messageHook = m_wndProcHook = 0;
  m_hooks.Close();
}

bool CMessageCapture::SameProgramWindow(HWND window) const {
  return window == m_target || GetAncestor(window, GA_ROOTOWNER) == GetAncestor(m_target, GA_ROOTOWNER);
}

void CMessageCapture::OnCaptured(const COPYDATASTRUCT* data) {
  if (!data || !m_target || !IsWindow(m_target)) return;
  const auto message = readCapturedMessage(data->dwData, data->lpData, data->cbData);
  if (!message || !capturedMessageName(message->message)) return;
  const HWND window = windowOf(message->window);
  if (!IsWindow(window) || !SameProgramWindow(window)) return;
  AddRow(*message);
}

void CMessageCapture::AddRow(const CapturedMessage& message) {
  const HWND list = Item(IDC_MC_LIST);
  const std::wstring texts[] = {win::toWide(capturedMessageName(message.message)),
                                win::toWide(capturedMessageDescription(message.message)),
                                win::toWide(capturedValueText(message.wParam)),
                                win::toWide(capturedValueText(message.lParam))};
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(m_rows.size());
  item.pszText = const_cast<wchar_t*>(texts[0].c_str());
  const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (at < 0) return;
  for (int column = 1; column < 4; ++column) {
    LVITEMW sub{};
    sub.iSubItem = column;
    sub.pszText = const_cast<wchar_t*>(texts[column].c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
  }
  m_rows.push_back(message);
}

int CMessageCapture::SelectedRow() const {
  const auto at = static_cast<int>(SendItem(IDC_MC_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return at >= 0 && at < static_cast<int>(m_rows.size()) ? at : -1;
}

void CMessageCapture::SyncButtons() {
  const bool selected = SelectedRow() >= 0;
  EnableItem(IDC_MC_TEST, selected);
  EnableItem(IDOK, selected);
}

void CMessageCapture::Test() {
  const int row = SelectedRow();
  if (row < 0) return;
  const CapturedMessage message = m_rows[static_cast<size_t>(row)];
  // The program under test must not report our own test back as a capture.
  RemoveHooks();
  m_post(windowOf(message.window), message);
  InstallHooks();
}

bool CMessageCapture::OnCommand(int id, int notification, HWND control) {
  if (notification != BN_CLICKED) return CModalDialog::OnCommand(id, notification, control);
  switch (id) {
    case IDC_MC_TEST:
      Test();
      return true;
    case IDC_MC_CLEAR:
      SendItem(IDC_MC_LIST, LVM_DELETEALLITEMS);
      m_rows.clear();
      SyncButtons();
      return true;
    case IDC_MC_WINDOW:
      if (m_pick)
        if (const auto chosen = m_pick(m_hwnd)) SetTarget(*chosen);
      return true;
  }
  return CModalDialog::OnCommand(id, notification, control);
}

bool CMessageCapture::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (id == IDC_MC_LIST && header.code == LVN_ITEMCHANGED) {
    SyncButtons();
    return true;
  }
  return CModalDialog::OnNotify(id, header, result);
}

bool CMessageCapture::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  const auto answer = [&](LONG_PTR value) {
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, value);
    result = TRUE;
    return true;
  };
  if (msg == WM_COPYDATA) {
    OnCaptured(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    return answer(1);
  }
  if (msg == abi::kVexaMessage && wp == ProgramMessage::kMessageHookHandle)
    return answer(static_cast<LONG_PTR>(m_messageHook));
  if (msg == abi::kVexaMessage && wp == ProgramMessage::kWndProcHookHandle)
    return answer(static_cast<LONG_PTR>(m_wndProcHook));
  return CModalDialog::OnMessage(msg, wp, lp, result);
}

void CMessageCapture::OnOK() {
  const int row = SelectedRow();
  if (row < 0) return;
  m_result = CapturedChoice{m_targetName, capturedMessageText(m_rows[static_cast<size_t>(row)])};
  RemoveHooks();
  CModalDialog::OnOK();
}

void CMessageCapture::OnCancel() {
  RemoveHooks();
  CModalDialog::OnCancel();
}

}  // namespace vexa::shell
