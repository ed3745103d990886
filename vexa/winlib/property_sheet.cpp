#include "vexa/winlib/property_sheet.h"

#include <commctrl.h>

namespace vexa::win {

PROPSHEETPAGEW CPropertyPage::Describe(HINSTANCE instance, int templateId, const wchar_t* title) {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(page);
  page.dwFlags = title ? PSP_USETITLE : PSP_DEFAULT;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(templateId);
  page.pszTitle = title;
  page.pfnDlgProc = &CPropertyPage::PageProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

PROPSHEETPAGEW CPropertyPage::Describe(const DLGTEMPLATE& dialogTemplate, const wchar_t* title) {
  PROPSHEETPAGEW page = Describe(GetModuleHandleW(nullptr), 0, title);
  page.dwFlags |= PSP_DLGINDIRECT;
  page.pResource = &dialogTemplate;
  return page;
}

void CPropertyPage::SetModified(bool modified) const {
  SendMessageW(GetParent(m_hwnd), modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hwnd), 0);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // A page's WM_INITDIALOG carries its PROPSHEETPAGE, whose lParam is the object.
  if (msg == WM_INITDIALOG) lp = reinterpret_cast<const PROPSHEETPAGEW*>(lp)->lParam;
  return CDialog::DialogProc(hwnd, msg, wp, lp);
}

bool CPropertyPage::OnNotify(int, NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case PSN_KILLACTIVE:
      result = OnKillActive() ? FALSE : TRUE;
      return true;
    case PSN_SETACTIVE:
      OnSetActive();
      result = 0;
      return true;
    case PSN_APPLY:
      result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      return true;
    case PSN_RESET:
      OnReset();
      return true;
    default:
      return false;
  }
}

bool runPropertySheet(HWND parent, const std::wstring& caption, std::vector<PROPSHEETPAGEW> pages, DWORD flags) {
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | flags;
  header.hwndParent = parent;
  header.hInstance = pages.empty() ? GetModuleHandleW(nullptr) : pages.front().hInstance;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(pages.size());
  header.ppsp = pages.data();
  return PropertySheetW(&header) > 0;
}

}  // namespace vexa::win
