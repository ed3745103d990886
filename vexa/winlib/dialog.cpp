#include "vexa/winlib/dialog.h"

#include <cwchar>

#include "vexa/winlib/failure_sink.h"
#include "vexa/winlib/unicode.h"

namespace vexa::win {

void CDialog::SetItemText(int id, std::string_view utf8) const { SetDlgItemTextW(m_hwnd, id, toWide(utf8).c_str()); }

std::string CDialog::ItemText(int id) const {
  const HWND item = Item(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return toUtf8(text);
}

std::optional<int> CDialog::ItemInt(int id) const {
  BOOL ok = FALSE;
  const UINT value = GetDlgItemInt(m_hwnd, id, &ok, TRUE);
  if (!ok) return std::nullopt;
  return static_cast<int>(value);
}

bool CDialog::OnCommand(int id, int, HWND) {
  switch (id) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

bool CDialog::OnNotify(int, NMHDR&, LRESULT&) { return false; }
bool CDialog::OnTimer(UINT_PTR) { return false; }
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void CDialog::Attach(HWND hwnd) {
  m_hwnd = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) reinterpret_cast<CDialog*>(lp)->Attach(hwnd);
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->Dispatch(msg, wp, lp);
  } catch (...) {
    if (!CFailureScope::Report(__FILE__, __LINE__, __DATE__)) throw;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->m_hwnd = nullptr;
  }
  return result;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(static_cast<int>(wp), *reinterpret_cast<NMHDR*>(lp), result)) return FALSE;
      SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_TIMER:
      return OnTimer(wp) ? TRUE : FALSE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(msg, wp, lp, result) ? result : FALSE;
    }
  }
}

INT_PTR CModalDialog::DoModal(HWND parent, HINSTANCE instance, int templateId) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, &CDialog::DialogProc,
                         reinterpret_cast<LPARAM>(static_cast<CDialog*>(this)));
}

INT_PTR CModalDialog::DoModal(HWND parent, const DLGTEMPLATE& dialogTemplate) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate, parent, &CDialog::DialogProc,
                                 reinterpret_cast<LPARAM>(static_cast<CDialog*>(this)));
}

bool CModelessDialog::Create(HWND parent, HINSTANCE instance, int templateId) {
  if (m_hwnd) return false;
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, &CDialog::DialogProc,
                            reinterpret_cast<LPARAM>(static_cast<CDialog*>(this))) != nullptr;
}

bool CModelessDialog::Create(HWND parent, const DLGTEMPLATE& dialogTemplate) {
  if (m_hwnd) return false;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate, parent, &CDialog::DialogProc,
                                    reinterpret_cast<LPARAM>(static_cast<CDialog*>(this))) != nullptr;
}

void CModelessDialog::Destroy() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

}  // namespace vexa::win
