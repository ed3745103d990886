#pragma once
// The on-screen display as the main window drives it: display requests
// (message 0x7FFF, code 98) and the program's own requests go to the bar
// display, the layout selector or the popup. Everything here belongs to the
// user-interface thread.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "vexa/exec/command_snapshot.h"
#include "vexa/exec/display_request.h"
#include "vexa/osd/bar_display_state.h"
#include "vexa/osd/layout_selector.h"
#include "vexa/osd/osd_settings.h"
#include "vexa/osd/win/display_owner.h"
#include "vexa/osd/win/osd_bar_window.h"
#include "vexa/osd/win/osd_popup_window.h"
#include "vexa/osd/win/tree_selector_commands.h"

namespace vexa {
class CCmdTree;
}

namespace vexa::osd::win {

struct OsdHooks {
  // Runs the command of a chosen layout as it is, without asking the selector again.
  std::function<void(const CommandSnapshot&)> run;
  std::function<void(const std::wstring&)> status;
  // Whether the mixer line is muted; without it only a mute request shows the muted speaker.
  std::function<bool(const std::string& line)> lineMuted;
  HICON programIcon = nullptr;
};

class COsd {
 public:
  explicit COsd(OsdHooks hooks);
  ~COsd();
  COsd(const COsd&) = delete;
  COsd& operator=(const COsd&) = delete;

  void ApplySettings(const OsdSettings& settings, uint32_t typematicDelayMs);
  const OsdSettings& Settings() const { return m_settings; }

  // A request of an execution run; the answer goes back to it (for 301:
  // 0 when the selector took the press).
  intptr_t OnDisplayRequest(DisplayRequest& request);

  // The bar display for `code` until `timeoutMs` passes; false when its
  // window cannot be created (nothing shown).
  bool ShowBar(uint32_t code, int32_t value, const std::string& text, UINT timeoutMs, ModeCallback callback = nullptr,
               bool muted = false);
  // The shutdown countdown; the callback hears "go on" (nonzero) or "cancel" (0) when it closes.
  bool ShowShutdown(const std::string& name, int seconds, int requested, ModeCallback callback);
  bool IsShowing(uint32_t code) const;
  // Request 1: hide the bar and forget a pending layout choice.
  void HideBar();
  // `heldFrom`: the command whose held button ran this one, or empty.
  void ShowCommandPopup(const void* identity, const std::string& heldFrom = {});
  void ShowTitlePopup(const std::string& title, HWND window);

  // What runs need to know before they start.
  bool SelectorActive() const { return m_selector.active(); }
  std::string SelectorTrigger() const { return m_settings.selectorTrigger(); }
  // The tree commands are looked up in; a new one (or one loaded again)
  // drops a pending choice, which names commands that are gone.
  void SetTree(CCmdTree* tree);
  void TreeReplaced();

  COsdBarWindow& BarWindow() { return m_bar; }
  COsdPopupWindow& PopupWindow() { return m_popup; }
  CLayoutSelector& Selector() { return m_selector; }

 private:
  void OnBarTimer(UINT_PTR id);
  void CloseBar();
  intptr_t OnSelectorRequest(const DisplayRequest& request);
  void ShowSelector();
  void RunChoice(const SelectorChoice& choice);
  bool EnsurePopup();

  CCmdTree* m_tree = nullptr;
  OsdHooks m_hooks;
  OsdSettings m_settings;
  CTreeSelectorCommands m_commands;
  CLayoutSelector m_selector;
  CBarDisplayState m_state;
  CDisplayOwner m_owner;  // outlives the displays it owns
  COsdBarWindow m_bar;
  COsdPopupWindow m_popup;
  vexa::win::CBrush m_background;
};

}  // namespace vexa::osd::win
