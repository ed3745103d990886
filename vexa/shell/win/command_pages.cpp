#include "vexa/shell/win/command_pages.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/model/names.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/window_picker.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

class CCommandPages::CExplanationPage : public win::CModelessDialog {
 public:
  bool Create(HWND parent) { return CModelessDialog::Create(parent, GetModuleHandleW(nullptr), IDD_EXPLANATION_PAGE); }
  void Set(const std::string& frame, const std::string& text) {
    SetItemText(IDC_EX_FRAME, frame);
    SetItemText(IDC_EX_TEXT, text);
  }
  std::string Text() const { return ItemText(IDC_EX_TEXT); }
};

CCommandPages::CCommandPages(CCmdTree& tree, CommandPagesHooks hooks) : m_tree(tree), m_hooks(std::move(hooks)) {
  AppFolderPageHooks folderHooks = m_hooks.folder;
  folderHooks.advanced = [this](CCmdItem& folder) { RunAdvanced(folder); };
  folderHooks.pickWindow = [this]() -> std::optional<std::string> {
    CWindowPicker picker;
    return picker.Run(m_folder->Handle());
  };
  m_explanation = std::make_unique<CExplanationPage>();
  m_command = std::make_unique<CCommandPage>(tree, m_hooks.command);
  m_folder = std::make_unique<CAppFolderPage>(tree, std::move(folderHooks));
}

CCommandPages::~CCommandPages() = default;

bool CCommandPages::Create(HWND parent, const RECT& area) {
  if (!m_explanation->Create(parent) || !m_command->Create(parent) || !m_folder->Create(parent, area)) return false;
  Move(area);
  ShowSelection(nullptr);
  return true;
}

void CCommandPages::Move(const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  for (HWND page : {m_explanation->Handle(), m_command->Handle(), m_folder->Handle()})
    if (page) MoveWindow(page, area.left, area.top, w, h, TRUE);
}

HWND CCommandPages::CurrentPage() const {
  switch (m_shown) {
    case Shown::Command: return m_command->Handle();
    case Shown::Folder: return m_folder->Handle();
    case Shown::None: return nullptr;
    default: return m_explanation->Handle();
  }
}

void CCommandPages::ShowOnly(Shown shown) {
  m_shown = shown;
  const HWND current = CurrentPage();
  for (HWND page : {m_explanation->Handle(), m_command->Handle(), m_folder->Handle()})
    if (page) ShowWindow(page, m_visible && page == current ? SW_SHOW : SW_HIDE);
  if (current && m_visible) SetWindowPos(current, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CCommandPages::Show(bool visible) {
  m_visible = visible;
  if (!visible) m_command->CancelCapture();
  ShowOnly(m_shown);
}

std::string CCommandPages::ExplanationText() const { return m_explanation->Text(); }

void CCommandPages::ShowSelection(CCmdItem* item) {
  m_folder->ShowFolder(nullptr);
  m_command->ShowCommand(nullptr, nullptr, nullptr);
  switch (kindOf(item)) {
    case ItemKind::Command:
      m_command->ShowCommand(item->command(), item, m_tree.appFolderOf(*item->command()));
      ShowOnly(Shown::Command);
      return;
    case ItemKind::Folder:
      if (isSpecialFolderName(item->label())) {
        m_explanation->Set(" " + item->label() + " ", kNoRunningApplicationsText);
        ShowOnly(Shown::Explanation);
      } else {
        m_folder->ShowFolder(item);
        ShowOnly(Shown::Folder);
      }
      return;
    case ItemKind::Remote:
      if (m_tree.isStartupMacro(*item)) {
        m_explanation->Set(" " + item->label() + " ", kStartupMacroHint);
        ShowOnly(Shown::Hint);
      } else {
        m_explanation->Set(" Remote control: " + item->label() + " ",
                           std::string("Global commands directly under the remote control folder are always available.\n"
                                       "Commands under an application folder will be executed only if the "
                                       "application is running.\n\n") +
                               kNothingSelectedHint);
        ShowOnly(Shown::Remote);
      }
      return;
    default:
      m_explanation->Set(" No Selection ", kNothingSelectedHint);
      ShowOnly(Shown::Hint);
      return;
  }
}

INT_PTR CCommandPages::RunAdvanced(CCmdItem& folder) {
  if (folder.kind() != ItemKind::Folder) return IDCANCEL;
  CCommandDefinitionDialog dialog(m_tree, folder.folder()->appCommand(), folder.folder(), m_hooks.command);
  return dialog.Run(m_folder->Handle());
}

}  // namespace vexa::shell
