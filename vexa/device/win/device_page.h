#pragma once
// The device page: the configuration window of second-generation
// plug-ins, a child of the main window titled "VEXADeviceConfig". It shows the
// "Hardware Setup" selectors and buttons and the tree of remotes and learned
// buttons, and answers message 0x7FFF codes 0, 3, 4, 200-206 and 300; codes 3 and 4
// are the host's reception's, passed on.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <string>

#include "vexa/winlib/window.h"

namespace vexa::device {

class CDevice;

inline constexpr const wchar_t* kDevicePageClass = L"VexaDevicePage";

class CDevicePage : public win::CWindow {
 public:
  enum ControlId : UINT {
    kHardwareGroup = 200,
    kCaption1,
    kList1,
    kCaption2,
    kList2,
    kSetupButton,
    kInitializeButton,
    kCommandsGroup,
    kTree,
    kRemoteLabel,
    kRemoteBox,
    kCommandLabel,
    kCommandBox,
    kSignatureLabel,
    kSignatureBox,
    kToleranceLabel,
    kToleranceEdit,
    kToleranceSpin,
    kHint,
    kImportButton,
  };
  enum MenuCommand : UINT {
    kCmdLearnButton = 3001,
    kCmdDeleteButton,
    kCmdRenameButton,
    kCmdNewRemote,
    kCmdDeleteRemote,
    kCmdRenameRemote,
    kCmdNewButton,
  };

  explicit CDevicePage(CDevice& device) : m_device(device) {}

  // Creates the page hidden at `position` inside parent and fills its controls.
  bool Create(HWND parent, POINT position);
  // Fills the page's tree from the code store again.
  void RefreshTree();

  // Tells the host what the selectors show.
  void PublishSelectors();
  std::string SelectorText(int which) const;     // UTF-8
  std::string SelectorCaption(int which) const;  // UTF-8
  HWND Control(ControlId id) const { return GetDlgItem(Handle(), id); }

  // What "Learn Remote Button" and "New Remote Button" do; the items are
  // greyed while none is set. The remote is named; the command is empty for a new button.
  using LearnHandler = std::function<void(const std::string& remote, const std::string& command)>;
  void SetLearnHandler(LearnHandler handler) { m_learn = std::move(handler); }

  // The context menu's operations, also used by the keys and by tests.
  HTREEITEM NewRemote();  // adds "New Remote"/"New Remote %d" and opens it for renaming
  bool DeleteItem(HTREEITEM item);
  // Renames the item's remote or button; reports a refusal and returns false.
  bool RenameItem(HTREEITEM item, const std::wstring& newName);
  // Builds the menu for an item (or empty space) and runs the chosen command.
  void RunContextMenu(HTREEITEM item, POINT screen);
  // Chooses from a context menu (0: nothing); by default the user does.
  using MenuTracker = std::function<UINT(HMENU menu, POINT screen)>;
  void SetMenuTracker(MenuTracker tracker) { m_trackMenu = std::move(tracker); }

  // "Import lircd.conf...": every remote the file describes, as learned timing
  // codes; asks before replacing a remote, changes nothing when any part is
  // refused. False when nothing was imported.
  bool ImportLircdFile(const std::filesystem::path& file);

  // The main window gets code 1: settings changed.
  void MarkChanged();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void CreateControls();
  void FillSelectors();
  void FillPorts(HWND list, uint32_t kind);
  void SelectSaved(HWND list, int which);
  void LayOut();
  LRESULT OnVexaMessage(WPARAM code, LPARAM lp);
  LRESULT OnNotify(NMHDR* header);
  void OnCommand(UINT id, UINT notification);
  void ShowSelection();
  void ChooseLircdFile();
  std::string ItemName(HTREEITEM item) const;  // UTF-8
  HTREEITEM ParentOf(HTREEITEM item) const;
  void RunMenuCommand(UINT command, HTREEITEM item);

  CDevice& m_device;
  LearnHandler m_learn;
  MenuTracker m_trackMenu;
  HFONT m_font = nullptr;
  bool m_filling = false;
};

}  // namespace vexa::device
