#include "vexa/shell/win/action_dialog.h"

#include <commdlg.h>

#include <algorithm>

#include "vexa/base/strings.h"
#include "vexa/exec/win/actions/action_choices.h"
#include "vexa/exec/win/actions/winmm_mixer.h"
#include "vexa/model/action_definition.h"
#include "vexa/model/action_fields.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/shell/win/message_capture.h"
#include "vexa/shell/win/mouse_position_tool.h"
#include "vexa/shell/win/tool_dialogs.h"
#include "vexa/shell/win/window_picker.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

constexpr const wchar_t* kAnyFileFilter = L"All files (*.*)\0*.*\0Executable files (*.exe)\0*.exe\0\0";

}  // namespace

CActionDefinitionDialog::CActionDefinitionDialog(CMD action, ActionDialogContext context)
    : m_action(std::move(action)), m_context(std::move(context)) {}

bool CActionDefinitionDialog::Run(HWND owner) {
  return DoModal(owner, GetModuleHandleW(nullptr), IDD_ACTION_DEFINITION) == IDOK;
}

void CActionDefinitionDialog::Tell(const std::wstring& text, const std::wstring& title) const {
  if (m_context.tell)
    m_context.tell(text, title);
  else
    MessageBoxW(m_hwnd, text.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CActionDefinitionDialog::FillTree() {
  const HWND tree = Item(IDC_AD_TREE);
  for (const CatalogueGroup& group : actionCatalogue()) {
    const std::wstring groupName = win::toWide(group.name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(groupName.c_str());
    insert.item.lParam = 0;  // a group
    const HTREEITEM node = TreeView_InsertItem(tree, &insert);
    for (const CatalogueEntry& entry : group.entries) {
      const std::wstring name = win::toWide(entry.name);
      insert.hParent = node;
      insert.item.pszText = const_cast<wchar_t*>(name.c_str());
      insert.item.lParam = reinterpret_cast<LPARAM>(&entry);
      const HTREEITEM child = TreeView_InsertItem(tree, &insert);
      if (iequals(entry.name, m_action.typeName)) {
        TreeView_SelectItem(tree, child);
        TreeView_EnsureVisible(tree, child);
      }
    }
  }
}

const CatalogueEntry* CActionDefinitionDialog::SelectedEntry() const {
  const HWND tree = Item(IDC_AD_TREE);
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = TreeView_GetSelection(tree);
  if (!item.hItem || !TreeView_GetItem(tree, &item)) return nullptr;
  return reinterpret_cast<const CatalogueEntry*>(item.lParam);
}

bool CActionDefinitionDialog::OnInitDialog() {
  FillTree();
  SetItemText(IDC_AD_NAME, m_action.name);
  SendItem(IDC_AD_SLIDER, TBM_SETRANGE, FALSE, MAKELPARAM(0, CMD::kMaxDelayMs));
  SendItem(IDC_AD_SLIDER, TBM_SETLINESIZE, 0, kDelaySliderLine);
  SendItem(IDC_AD_SLIDER, TBM_SETPAGESIZE, 0, kDelaySliderPage);
  SendItem(IDC_AD_SLIDER, TBM_SETPOS, TRUE, m_action.delay);
  SetItemInt(IDC_AD_DELAY_MS, m_action.delay);
  CheckButton(IDC_AD_DELAY, m_action.delayEnabled());
  const bool delay = delayAllowed(m_context.isNew, m_context.actionsInLayout, m_context.position);
  EnableItem(IDC_AD_DELAY, delay);
  EnableItem(IDC_AD_SLIDER, delay && m_action.delayEnabled());
  EnableItem(IDC_AD_DELAY_MS, delay && m_action.delayEnabled());
  // Field 1: an empty one shows the folder's application or window.
  std::string field1 = m_action.fileName;
  const unsigned flags = catalogueFlagsOf(m_action.typeName);
  if (field1.empty() && (flags & CatalogueFlag::kApplication)) field1 = m_context.folderFile;
  if (field1.empty() && (flags & CatalogueFlag::kWindow)) field1 = m_context.folderWindow;
  SetItemText(IDC_AD_FIELD1, field1);
  SetItemText(IDC_AD_FIELD2, m_action.param);
  TypeSelected();
  return true;
}

std::vector<std::string> CActionDefinitionDialog::SystemChoices(const CatalogueEntry& entry) const {
  exec::CWindowsSystemActions ownSystem;
  exec::CWinmmMixer ownMixer;
  exec::ISystemActions& system = m_context.system ? *m_context.system : ownSystem;
  IMixer& mixer = m_context.mixer ? *m_context.mixer : ownMixer;
  switch (entry.choices) {
    case ChoiceSource::DisplayModes: return exec::displayModeChoices(system);
    case ChoiceSource::MixerControls: return exec::mixerControlChoices(mixer, actionKindFromNumber(entry.type));
    case ChoiceSource::DialUpEntries: return exec::dialUpChoices(system);
    default: return {};
  }
}

std::vector<std::string> CActionDefinitionDialog::ChoicesOf(const CatalogueEntry& entry) const {
  switch (entry.choices) {
    case ChoiceSource::None: return {};
    case ChoiceSource::Fixed: {
      std::vector<std::string> fixed;
      for (std::string_view c : entry.fixedChoices) fixed.emplace_back(c);
      return fixed;
    }
    case ChoiceSource::Layouts: return m_context.layouts;
    default: return SystemChoices(entry);
  }
}

void CActionDefinitionDialog::FillChoices(const CatalogueEntry& entry, const std::string& current) {
  const std::vector<std::string> choices = ChoicesOf(entry);
  SendItem(IDC_AD_CHOICES1, CB_RESETCONTENT);
  for (const std::string& choice : choices)
    SendItem(IDC_AD_CHOICES1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::toWide(choice).c_str()));
  const auto keep = choiceToKeep(choices, current);
  SendItem(IDC_AD_CHOICES1, CB_SETCURSEL, keep ? static_cast<WPARAM>(*keep) : static_cast<WPARAM>(-1));
  m_filledFor = &entry;
}

std::string CActionDefinitionDialog::DefaultField1(const CatalogueEntry& entry) const {
  if (entry.flags & CatalogueFlag::kApplication) return m_context.folderFile;
  if (entry.flags & CatalogueFlag::kWindow) return m_context.folderWindow;
  return {};
}

void CActionDefinitionDialog::TypeSelected() {
  const CatalogueEntry* entry = SelectedEntry();
  // A value whose meaning the new type changes goes; a group selected on the
  // way keeps the values of the last type.
  const bool changed = entry && m_shown && entry != m_shown;
  const bool keep1 = !changed || fieldKeepsMeaning(*m_shown, *entry, 1);
  const bool keep2 = !changed || fieldKeepsMeaning(*m_shown, *entry, 2);
  std::string field1 = keep1 ? Field1() : DefaultField1(*entry);
  if (entry && field1.empty()) field1 = DefaultField1(*entry);
  if (!keep2) SetItemText(IDC_AD_FIELD2, "");
  if (entry) m_shown = entry;
  m_choiceMode = entry && typeHasChoiceList(entry->type);
  SetItemText(IDC_AD_FIELD1, field1);  // the text a refill keeps if it can
  ShowItem(IDC_AD_FIELD1, !m_choiceMode);
  ShowItem(IDC_AD_CHOICES1, m_choiceMode);
  if (m_choiceMode && (entry != m_filledFor || !keep1)) FillChoices(*entry, field1);
  const bool on1 = entry && !entry->field1.empty();
  const bool on2 = entry && !entry->field2.empty();
  SetItemText(IDC_AD_LABEL1, on1 ? entry->field1 : "");
  SetItemText(IDC_AD_LABEL2, on2 ? entry->field2 : "");
  EnableItem(IDC_AD_FIELD1, on1);
  EnableItem(IDC_AD_CHOICES1, on1);
  EnableItem(IDC_AD_LABEL1, on1);
  EnableItem(IDC_AD_FIELD2, on2);
  EnableItem(IDC_AD_LABEL2, on2);
  const unsigned flags = entry ? entry->flags : 0;
  EnableItem(IDC_AD_BROWSE1, on1 && !m_choiceMode &&
                                 (flags & (CatalogueFlag::kApplication | CatalogueFlag::kWindow |
                                           CatalogueFlag::kMousePosition)) != 0);
  const bool keystroke = on2 && entry->field2 == "Keystroke";
  const bool message = on2 && entry->field2 == "Message";
  EnableItem(IDC_AD_BROWSE2, keystroke || message);
}

std::string CActionDefinitionDialog::Field1() const {
  if (!m_choiceMode) return ItemText(IDC_AD_FIELD1);
  const LRESULT at = SendItem(IDC_AD_CHOICES1, CB_GETCURSEL);
  if (at == CB_ERR) return ItemText(IDC_AD_FIELD1);
  std::wstring text(static_cast<size_t>(SendItem(IDC_AD_CHOICES1, CB_GETLBTEXTLEN, at)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendItem(IDC_AD_CHOICES1, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text.data()))));
  return win::toUtf8(text);
}

void CActionDefinitionDialog::SetField1(const std::string& text) {
  SetItemText(IDC_AD_FIELD1, text);
}

bool CActionDefinitionDialog::PickWindow() {
  CWindowPicker picker;
  const auto chosen = picker.Run(m_hwnd);
  if (chosen) SetField1(*chosen);
  return chosen.has_value();
}

void CActionDefinitionDialog::BrowseField1() {
  const CatalogueEntry* entry = SelectedEntry();
  if (!entry) return;
  if (entry->flags & CatalogueFlag::kApplication) {
    wchar_t file[MAX_PATH] = {};
    lstrcpynW(file, win::toWide(Field1()).c_str(), MAX_PATH);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hwnd;
    ofn.lpstrFilter = kAnyFileFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Open";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&ofn)) SetField1(win::toUtf8(file));
  } else if (entry->flags & CatalogueFlag::kWindow) {
    PickWindow();
  } else if (entry->flags & CatalogueFlag::kMousePosition) {
    CMousePositionTool tool;
    if (const auto position = tool.Run(m_hwnd)) {
      SetField1(position->field1);
      SetItemText(IDC_AD_FIELD2, position->field2);
    }
  }
}

void CActionDefinitionDialog::BrowseField2() {
  const CatalogueEntry* entry = SelectedEntry();
  if (!entry) return;
  if (entry->field2 == "Keystroke") {
    CKeystrokeTable table(m_context.programFolder, m_context.mainWindow);
    if (const auto token = table.Run(m_hwnd)) SetItemText(IDC_AD_FIELD2, ItemText(IDC_AD_FIELD2) + *token);
  } else if (entry->field2 == "Message") {
    // The message capture needs a window to watch.
    if (!findNamedWindow(Field1())) {
      Tell(win::toWide(kMsgSelectWindowFirst), L"Vexa");
      if (!PickWindow()) return;
    }
    CMessageCapture capture(Field1(), [](HWND owner) { return CWindowPicker().Run(owner); });
    if (const auto chosen = capture.Run(m_hwnd)) {
      SetField1(chosen->windowName);
      SetItemText(IDC_AD_FIELD2, chosen->messageText);
    }
  }
}

void CActionDefinitionDialog::SyncDelay(bool fromSlider) {
  if (m_syncing) return;
  m_syncing = true;
  if (fromSlider) {
    SetItemInt(IDC_AD_DELAY_MS, static_cast<int>(SendItem(IDC_AD_SLIDER, TBM_GETPOS)));
  } else {
    const int ms = std::clamp(ItemInt(IDC_AD_DELAY_MS).value_or(0), 0, CMD::kMaxDelayMs);
    SendItem(IDC_AD_SLIDER, TBM_SETPOS, TRUE, ms);
  }
  m_syncing = false;
}

bool CActionDefinitionDialog::OnCommand(int id, int notification, HWND control) {
  switch (id) {
    case IDC_AD_BROWSE1:
      if (notification == BN_CLICKED) BrowseField1();
      return true;
    case IDC_AD_BROWSE2:
      if (notification == BN_CLICKED) BrowseField2();
      return true;
    case IDC_AD_DELAY:
      if (notification == BN_CLICKED) {
        const bool on = IsButtonChecked(IDC_AD_DELAY);
        EnableItem(IDC_AD_SLIDER, on);
        EnableItem(IDC_AD_DELAY_MS, on);
        if (!on) {
          SendItem(IDC_AD_SLIDER, TBM_SETPOS, TRUE, 0);
          SyncDelay(true);
        }
      }
      return true;
    case IDC_AD_DELAY_MS:
      if (notification == EN_CHANGE) SyncDelay(false);
      return true;
  }
  return CModalDialog::OnCommand(id, notification, control);
}

bool CActionDefinitionDialog::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (id == IDC_AD_TREE && header.code == TVN_SELCHANGEDW) {
    TypeSelected();
    result = 0;
    return true;
  }
  return false;
}

bool CActionDefinitionDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR&) {
  if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lp) == Item(IDC_AD_SLIDER)) {
    SyncDelay(true);
    return true;
  }
  return false;
}

bool CActionDefinitionDialog::NothingChosen(const CatalogueEntry& entry) {
  if (!m_choiceMode || entry.field1.empty() || !Field1().empty()) return false;
  // Saved so, the action would fail each time under another name.
  const bool listEmpty = SendItem(IDC_AD_CHOICES1, CB_GETCOUNT) <= 0;
  Tell(win::toWide(noChoiceMessage(entry, listEmpty)), win::toWide(kActionDefinitionTitle));
  SetFocus(Item(IDC_AD_CHOICES1));
  return true;
}

void CActionDefinitionDialog::OnOK() {
  ActionDefinitionInput input;
  input.name = ItemText(IDC_AD_NAME);
  const CatalogueEntry* entry = SelectedEntry();
  input.selectedTypeLabel = entry ? std::string(entry->name) : std::string();
  input.field1 = entry && !entry->field1.empty() ? Field1() : std::string();
  input.field2 = entry && !entry->field2.empty() ? ItemText(IDC_AD_FIELD2) : std::string();
  input.delay = IsButtonChecked(IDC_AD_DELAY) ? static_cast<int>(SendItem(IDC_AD_SLIDER, TBM_GETPOS)) : 0;
  if (entry && NothingChosen(*entry)) return;
  const ActionNameProblem problem = acceptActionDefinition(input, m_action);
  if (problem != ActionNameProblem::None) {
    Tell(win::toWide(actionNameMessage(problem)), win::toWide(kActionDefinitionTitle));
    SetFocus(Item(IDC_AD_NAME));
    return;
  }
  End(IDOK);
}

}  // namespace vexa::shell
