#pragma once
// What an action handler gets: the action, the run's view of the running
// system, the run's way to the main window, and the state the actions keep
// across runs.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "vexa/exec/action_walk.h"
#include "vexa/exec/actions/mixer_rules.h"
#include "vexa/exec/actions/mouse_rules.h"
#include "vexa/exec/display_request.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/actions/mouse_mover.h"
#include "vexa/exec/win/actions/system_actions.h"
#include "vexa/exec/win/run_environment.h"

namespace vexa::exec {

// State of the actions that outlives one run; the engine owns it.
struct CActionServices {
  CActionServices();
  std::unique_ptr<ISystemActions> system;
  std::unique_ptr<IMixer> mixer;
  CMouseMover mouse;
  std::mutex audioLock;  // guards `audio` and `mouseRepeat`
  AudioModeState audio;
  CMouseRepeat mouseRepeat;
  std::atomic<bool> displayOff{false};
  std::atomic<bool> cycle{false};       // "Cycle through windows" holds Alt
  std::atomic<uint32_t> typematicDelayMs{300};
  std::atomic<uint32_t> osdTimeoutSeconds{3};
};

// The run's way to the main window.
class IActionHost {
 public:
  virtual ~IActionHost() = default;
  virtual HWND mainWindow() = 0;
  virtual void sendKey(unsigned virtualKey, bool up) = 0;
  // Message 0x46B; null when not found.
  virtual HWND findWindow(std::string_view name, bool refresh) = 0;
  // The one request message for work on the user-interface thread.
  virtual LRESULT request(ActionUiRequest& request) = 0;
  virtual intptr_t display(DisplayRequest& request) = 0;
};

struct ActionContext {
  const ActionCall& call;
  CRunEnvironment& environment;
  IActionHost& host;
  CActionServices& services;

  const CMD& action() const { return call.action; }
  bool osdEnabled() const { return (call.command.flags & kCommandDisableOsd) == 0; }
  // A first press, or any action after the first, refreshes the lists.
  bool refreshLists() const { return !call.useCachedLists; }
  static constexpr uint32_t kCommandDisableOsd = 0x2;
};

using ActionHandler = bool (*)(ActionContext& context, std::string& message);

}  // namespace vexa::exec
