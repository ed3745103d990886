#pragma once
// Property pages over CDialog, and a modal property sheet of such pages.
#include <windows.h>

#include <prsht.h>

#include <string>
#include <vector>

#include "vexa/winlib/dialog.h"

namespace vexa::win {

class CPropertyPage : public CDialog {
 public:
  // The page's description for PropertySheet; the template comes from `instance`.
  PROPSHEETPAGEW Describe(HINSTANCE instance, int templateId, const wchar_t* title = nullptr);
  PROPSHEETPAGEW Describe(const DLGTEMPLATE& dialogTemplate, const wchar_t* title = nullptr);
  // Tells the sheet that the page holds changes (enables "Apply").
  void SetModified(bool modified) const;

 protected:
  // Leaving the page or OK: false keeps the page up (after telling the user why).
  virtual bool OnKillActive() { return true; }
  virtual void OnSetActive() {}
  // OK or Apply: false keeps the sheet open on this page.
  virtual bool OnApply() { return true; }
  virtual void OnReset() {}
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  // A sheet ends itself; a page never ends the dialog directly.
  void End(INT_PTR) override {}

 private:
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Runs a modal sheet of described pages; true when it ended with OK.
bool runPropertySheet(HWND parent, const std::wstring& caption, std::vector<PROPSHEETPAGEW> pages,
                      DWORD flags = PSH_NOAPPLYNOW);

}  // namespace vexa::win
