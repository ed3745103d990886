#include "vexa/presets/win/preset_manager.h"

#include <commctrl.h>

#include "vexa/presets/win/presets_resource.h"
#include "vexa/winlib/unicode.h"

namespace vexa::presets::win {

namespace {

constexpr PresetType kFilters[] = {PresetType::AllSettings, PresetType::ActionConfiguration,
                                   PresetType::DeviceConfiguration};
constexpr int kNameColumnWidth = 180;
constexpr int kTypeColumnWidth = 140;

void addColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

bool CPresetManager::OnInitDialog() {
  for (PresetType filter : kFilters)
    SendItem(IDC_MANAGER_FILTER, CB_ADDSTRING, 0,
             reinterpret_cast<LPARAM>(vexa::win::toWide(presetTypeName(filter)).c_str()));
  SendItem(IDC_MANAGER_FILTER, CB_SETCURSEL, 0);
  const HWND list = Item(IDC_MANAGER_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  addColumn(list, 0, L"Preset Name", kNameColumnWidth);
  addColumn(list, 1, L"Preset Type", kTypeColumnWidth);
  Refill();
  return true;
}

void CPresetManager::Refill() {
  const HWND list = Item(IDC_MANAGER_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const auto& preset : listPresets(m_ui.programFolder, m_filter)) {
    std::wstring name = vexa::win::toWide(preset.name);
    std::wstring type = vexa::win::toWide(presetTypeName(preset.type()));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = name.data();
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = type.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    ++row;
  }
}

std::string CPresetManager::Selected() const {
  const HWND list = Item(IDC_MANAGER_LIST);
  const auto row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return {};
  wchar_t text[MAX_PATH] = L"";
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return vexa::win::toUtf8(text);
}

void CPresetManager::Tell(std::string_view text) {
  // The program's warning when it has one (tests answer it), else a message box.
  if (m_ui.actions.warn)
    m_ui.actions.warn(text);
  else
    tell(Handle(), text, MB_ICONEXCLAMATION);
}

void CPresetManager::Delete() {
  const std::string name = Selected();
  if (name.empty()) {
    Tell(kSelectToDelete);
    return;
  }
  if (!deletePreset(m_ui.programFolder, name, m_filter)) Tell("The preset \"" + name + "\" could not be deleted.");
  Refill();
}

void CPresetManager::Rename() {
  const HWND list = Item(IDC_MANAGER_LIST);
  const auto row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) {
    Tell(kSelectToRename);
    return;
  }
  SetFocus(list);
  SendMessageW(list, LVM_EDITLABELW, row, 0);
}

bool CPresetManager::FinishRename(const NMLVDISPINFOW& info) {
  if (!info.item.pszText) return false;  // editing cancelled
  const std::string from = Selected();
  const std::string to = vexa::win::toUtf8(info.item.pszText);
  if (from.empty() || to == from) return false;
  if (const auto problem = renamePreset(m_ui.programFolder, from, to, m_filter)) {
    Tell(*problem);
    return false;
  }
  // Refilled once the list has finished with the edit.
  PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_MANAGER_FILTER, CBN_SELCHANGE), 0);
  return true;
}

bool CPresetManager::OnCommand(int id, int notification, HWND) {
  switch (id) {
    case IDC_MANAGER_FILTER:
      if (notification == CBN_SELCHANGE) {
        const LRESULT index = SendItem(IDC_MANAGER_FILTER, CB_GETCURSEL);
        if (index >= 0 && index < 3) m_filter = kFilters[index];
        Refill();
      }
      return true;
    case IDC_MANAGER_DELETE:
      Delete();
      return true;
    case IDC_MANAGER_RENAME:
      Rename();
      return true;
    case IDOK:
    case IDCANCEL:
      End(IDOK);
      return true;
  }
  return false;
}

bool CPresetManager::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (id == IDC_MANAGER_LIST && header.code == LVN_ENDLABELEDITW) {
    result = FinishRename(reinterpret_cast<NMLVDISPINFOW&>(header)) ? TRUE : FALSE;
    return true;
  }
  return false;
}

void runPresetManager(HWND owner, const PresetUi& ui) {
  CPresetManager manager(ui);
  manager.DoModal(owner, ui.resources, IDD_PRESET_MANAGER);
}

}  // namespace vexa::presets::win
