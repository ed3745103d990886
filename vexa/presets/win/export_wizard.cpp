#include "vexa/presets/win/export_wizard.h"

#include <commctrl.h>
#include <prsht.h>

#include "vexa/base/program_messages.h"
#include "vexa/presets/win/presets_resource.h"
#include "vexa/winlib/unicode.h"

namespace vexa::presets::win {

namespace {

constexpr int kTypeButtons[] = {IDC_TYPE_ALL, IDC_TYPE_DEVICE, IDC_TYPE_ACTION};

// The sheet names itself after the page once the page is active, so the
// wizard's own title is put back afterwards.
void setButtons(HWND page, DWORD buttons) {
  PropSheet_SetWizButtons(GetParent(page), buttons);
  PostMessageW(page, ProgramMessage::kRetitleWizard, 0, 0);
}

bool retitle(HWND page, UINT msg, const std::wstring& title) {
  if (msg != ProgramMessage::kRetitleWizard) return false;
  SetWindowTextW(GetParent(page), title.c_str());
  return true;
}

}  // namespace

bool CExportPage1::OnInitDialog() {
  CheckButton(kTypeButtons[static_cast<int>(m_choice.type)], true);
  return true;
}

void CExportPage1::OnSetActive() { setButtons(Handle(), PSWIZB_NEXT); }

bool CExportPage1::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return retitle(Handle(), msg, m_choice.title) || CPropertyPage::OnMessage(msg, wp, lp, result);
}

bool CExportPage2::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return retitle(Handle(), msg, m_choice.title) || CPropertyPage::OnMessage(msg, wp, lp, result);
}

bool CExportPage1::OnKillActive() {
  for (int i = 0; i < 3; ++i)
    if (IsButtonChecked(kTypeButtons[i])) m_choice.type = static_cast<PresetType>(i);
  return true;
}

bool CExportPage2::OnInitDialog() {
  for (const auto& preset : listPresets(m_ui.programFolder))
    SendItem(IDC_NAME_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(vexa::win::toWide(preset.name).c_str()));
  const bool any = SendItem(IDC_NAME_LIST, LB_GETCOUNT) > 0;
  CheckButton(any ? IDC_NAME_EXISTING : IDC_NAME_NEW, true);
  EnableItem(IDC_NAME_EXISTING, any);
  if (any) SendItem(IDC_NAME_LIST, LB_SETCURSEL, 0);
  SetItemText(IDC_NAME_EDIT, m_choice.name);
  EnableFields();
  return true;
}

void CExportPage2::OnSetActive() { setButtons(Handle(), PSWIZB_BACK | PSWIZB_FINISH); }

void CExportPage2::EnableFields() {
  const bool existing = IsButtonChecked(IDC_NAME_EXISTING);
  EnableItem(IDC_NAME_LIST, existing);
  EnableItem(IDC_NAME_EDIT, !existing);
}

bool CExportPage2::OnCommand(int id, int notification, HWND) {
  if ((id == IDC_NAME_EXISTING || id == IDC_NAME_NEW) && notification == BN_CLICKED) {
    EnableFields();
    return true;
  }
  return false;
}

bool CExportPage2::Finish() {
  m_choice.newName = IsButtonChecked(IDC_NAME_NEW);
  if (m_choice.newName) {
    m_choice.name = ItemText(IDC_NAME_EDIT);
  } else {
    const LRESULT index = SendItem(IDC_NAME_LIST, LB_GETCURSEL);
    if (index < 0) return false;
    std::wstring name(static_cast<size_t>(SendItem(IDC_NAME_LIST, LB_GETTEXTLEN, index)), L'\0');
    SendItem(IDC_NAME_LIST, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name.data()));
    m_choice.name = vexa::win::toUtf8(name.c_str());
  }
  m_written = exportPreset(m_ui.programFolder, m_choice.name, m_choice.type, m_choice.newName, m_actions) ==
              ExportOutcome::Written;
  return m_written;
}

bool CExportPage2::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (header.code == PSN_WIZFINISH) {
    // Declined or refused: back to this page.
    result = Finish() ? FALSE : TRUE;
    return true;
  }
  return CPropertyPage::OnNotify(id, header, result);
}

bool runExportWizard(HWND owner, const PresetUi& ui, PresetType initialType, const wchar_t* title) {
  ExportChoice choice;
  choice.type = initialType;
  choice.title = title;
  const PresetActions actions = withMessageBoxes(ui.actions, owner);
  CExportPage1 typePage(choice);
  CExportPage2 namePage(choice, ui, actions);
  vexa::win::runPropertySheet(owner, title,
                              {typePage.Describe(ui.resources, IDD_EXPORT_TYPE),
                               namePage.Describe(ui.resources, IDD_EXPORT_NAME)},
                              PSH_WIZARD | PSH_NOAPPLYNOW);
  return namePage.Written();
}

bool exportUnattended(const PresetUi& ui, std::string_view name) {
  return exportPreset(ui.programFolder, name, PresetType::AllSettings, false, ui.actions) == ExportOutcome::Written;
}

}  // namespace vexa::presets::win
