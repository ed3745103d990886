#pragma once
// A dialog from a template: item helpers and virtual hooks for the messages
// our dialogs handle. Modal and modeless dialogs and property pages derive
// from it; each object lives at least as long as its window.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vexa::win {

class CDialog {
 public:
  CDialog() = default;
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  HWND Handle() const { return m_hwnd; }
  HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
  void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }
  void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
  // Texts in UTF-8, converted at the call.
  void SetItemText(int id, std::string_view utf8) const;
  std::string ItemText(int id) const;
  void SetItemInt(int id, int value) const { SetDlgItemInt(m_hwnd, id, static_cast<UINT>(value), TRUE); }
  // Nothing when the text is not a number.
  std::optional<int> ItemInt(int id) const;
  void CheckButton(int id, bool checked) const { CheckDlgButton(m_hwnd, id, checked ? BST_CHECKED : BST_UNCHECKED); }
  bool IsButtonChecked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
  LRESULT SendItem(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendDlgItemMessageW(m_hwnd, id, msg, wp, lp);
  }

 protected:
  // False: the hook set the focus itself.
  virtual bool OnInitDialog() { return true; }
  // True when handled.
  virtual bool OnCommand(int id, int notification, HWND control);
  virtual bool OnNotify(int id, NMHDR& header, LRESULT& result);
  virtual bool OnTimer(UINT_PTR id);
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  // Any other message; true when handled, with the dialog's result in `result`.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
  // Modal: ends the dialog with `result`; modeless: destroys the window.
  virtual void End(INT_PTR result) = 0;

  // The procedure for every template-based dialog; the object comes as lParam of WM_INITDIALOG.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd);

  HWND m_hwnd = nullptr;
};

// Runs from a template until End; the result of End, or -1 when it could not be shown.
class CModalDialog : public CDialog {
 public:
  INT_PTR DoModal(HWND parent, HINSTANCE instance, int templateId);
  INT_PTR DoModal(HWND parent, const DLGTEMPLATE& dialogTemplate);

 protected:
  void End(INT_PTR result) override { EndDialog(m_hwnd, result); }
};

// A dialog that lives beside its owner's message loop (pages, tool windows).
class CModelessDialog : public CDialog {
 public:
  ~CModelessDialog() override { Destroy(); }
  bool Create(HWND parent, HINSTANCE instance, int templateId);
  bool Create(HWND parent, const DLGTEMPLATE& dialogTemplate);
  void Destroy();

 protected:
  void End(INT_PTR) override { Destroy(); }
};

}  // namespace vexa::win
