#include "vexa/shell/win/tool_dialogs.h"

#include <commctrl.h>

#include "vexa/shell/res/editor_resource.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

std::optional<std::string> CKeystrokeTable::Run(HWND owner) {
  const INT_PTR result = DoModal(owner, GetModuleHandleW(nullptr), IDD_KEYSTROKE_TABLE);
  m_hotKey.Detach();  // resumes the hook on every way out
  if (result != IDOK || m_token.empty()) return std::nullopt;
  return m_token;
}

bool CKeystrokeTable::OnInitDialog() {
  const HWND list = Item(IDC_KT_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const wchar_t* columns[] = {L"Name", L"Code", L"Description"};
  const int widths[] = {120, 50, 200};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i]);
    column.cx = widths[i];
    ListView_InsertColumn(list, i, &column);
  }
  if (!loadKeyTable(m_folder, m_keys)) SetItemText(IDC_KT_MESSAGE, kMsgNoKeyTable);
  for (size_t i = 0; i < m_keys.size(); ++i) {
    std::wstring name = win::toWide(m_keys[i].name), code = win::toWide(keyCodeText(m_keys[i].code)),
                 description = win::toWide(m_keys[i].description);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    const int row = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, row, 1, code.data());
    ListView_SetItemText(list, row, 2, description.data());
  }
  m_hotKey.Attach(Item(IDC_KT_HOTKEY), m_main);
  return true;
}

bool CKeystrokeTable::OnMessage(UINT msg, WPARAM, LPARAM, INT_PTR&) {
  if (msg == WM_DESTROY) m_hotKey.Detach();
  return false;
}

void CKeystrokeTable::OnOK() {
  // A key pressed into the field wins over a row of the table.
  const auto word = static_cast<unsigned>(SendItem(IDC_KT_HOTKEY, HKM_GETHOTKEY));
  unsigned modifiers = 0;
  if (word >> 8 & HOTKEYF_SHIFT) modifiers |= KeyModifier::kShift;
  if (word >> 8 & HOTKEYF_CONTROL) modifiers |= KeyModifier::kControl;
  if (word >> 8 & HOTKEYF_ALT) modifiers |= KeyModifier::kAlt;
  std::optional<std::string> token = keystrokeToken(modifiers, word & 0xFF);
  if (!token) {
    const int row = ListView_GetNextItem(Item(IDC_KT_LIST), -1, LVNI_SELECTED);
    if (row >= 0 && static_cast<size_t>(row) < m_keys.size()) token = keystrokeToken(0, m_keys[row].code);
  }
  m_token = token.value_or("");
  End(IDOK);
}

}  // namespace vexa::shell
