#pragma once
// Between a recognised button (or hot key) and the execution engine: the
// repeat rules, a window waiting for a button, hot-key lookup, and the
// messages runs send back to the main window.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vexa/base/program_settings.h"
#include "vexa/device/repeat_filter.h"
#include "vexa/exec/display_request.h"
#include "vexa/osd/osd_settings.h"
#include "vexa/exec/exec_messages.h"

namespace vexa {
class CCmdTree;
struct ServerRecord;
namespace exec {
class CExecEngine;
}
namespace osd::win {
class COsd;
}
}  // namespace vexa

namespace vexa::shell {

class CActionRequests;
class CHeldButtons;

struct DispatchSettings {
  uint32_t repThresholdMs = CRepeatFilter::kDefaultRepThresholdMs;    // "RepThreshold"
  uint32_t typematicDelayMs = CRepeatFilter::kDefaultTypematicDelayMs;  // "TypematicDelay"
  bool synchronous = false;  // "Disable multithreaded execution", a bit of "Options"
  osd::OsdSettings osd;      // the on-screen display's look and the layout selector's mode
  bool leaveFocus = false;   // "Leave window focus after keystroke", a bit of "Options"
  // Reads the values under HKCU\Software\Marlix\Vexa, keeping defaults for missing ones.
  static DispatchSettings fromRegistry();
  static DispatchSettings from(const ProgramSettings& settings);
};

inline constexpr const wchar_t* kCycleStatus = L"Cycled through windows";
inline constexpr const wchar_t* kQuitQuestion =
    L"Command execution is in progress.\nDo you want to stop all queued commands?";

class CCommandDispatch {
 public:
  using Starter = std::function<void(const std::string& remote, const std::string& command, int repeat)>;
  using StatusSink = std::function<void(const std::wstring& text)>;

  CCommandDispatch(HWND mainWindow, DispatchSettings settings, StatusSink status);
  ~CCommandDispatch();

  void SetTree(CCmdTree* tree);
  CCmdTree* Tree() const { return m_tree; }
  // A window that takes the next new press instead of the engine (a button
  // capture of the command editor); null for none.
  void SetButtonCapture(HWND window) { m_capture = window; }
  // The one readiness rule: while the device is not ready, records are dropped.
  void SetDeviceReady(bool ready) { m_filter.setDeviceReady(ready); }
  bool IsDeviceReady() const { return m_filter.deviceReady(); }
  // Settings loaded again (at start or from a file) take effect for the next press.
  void ApplySettings(const DispatchSettings& settings);

  // A CommandRecord's names after the repeat rules. `start` is called for
  // presses that run; the record stays the caller's to free.
  void OnCommandRecord(const std::string& remote, const std::string& command, int repeat, const Starter& start,
                       LPARAM record);
  // Runs a command through the engine, resolving it by name.
  bool Run(const std::string& remote, const std::string& command, int repeat);
  // A key event of the hook module (message code 96).
  // A hot key's start also says whether the hook marked the key special (value 3 in bits 28-29).
  using HotKeyStarter = std::function<void(const std::string& remote, const std::string& command, bool special)>;
  LRESULT OnHookKey(LPARAM lParam, const HotKeyStarter& start);
  // Messages runs send or post to the main window; nothing when not ours.
  std::optional<LRESULT> OnEngineMessage(UINT msg, WPARAM wp, LPARAM lp);
  // The main window's timers that belong to held buttons; false when not one.
  bool OnTimer(UINT_PTR id, const Starter& start);

  void IgnoreNextKey() { m_ignoreNextKey = true; }
  // Where executed commands (0x468) go; without one they are dropped.
  void SetServerForwarder(std::function<void(const ServerRecord&)> forward) { m_forward = std::move(forward); }
  void SuspendHotKeys(bool suspended) { m_hotKeysSuspended = suspended; }
  // The program's own shut-down, run when a shutdown countdown ends and
  // before the session is ended; without one only the runs stop.
  void SetEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }
  exec::CExecEngine& Engine() { return *m_engine; }
  // The on-screen display, which takes the runs' display requests (code 98).
  osd::win::COsd& Osd() { return *m_osd; }
  CActionRequests& Actions() { return *m_actions; }

 private:
  void EndCycle();
  LRESULT SwitchLayout(SwitchLayoutRequest& request);
  bool ShowShutdownDisplay(const DisplayRequest& request);

  HWND m_main;
  DispatchSettings m_settings;
  StatusSink m_status;
  CRepeatFilter m_filter;
  std::unique_ptr<exec::CExecEngine> m_engine;
  std::unique_ptr<osd::win::COsd> m_osd;
  std::unique_ptr<CActionRequests> m_actions;
  std::unique_ptr<CHeldButtons> m_held;
  CCmdTree* m_tree = nullptr;
  HWND m_capture = nullptr;
  bool m_ignoreNextKey = false;
  bool m_hotKeysSuspended = false;
  std::function<void(const ServerRecord&)> m_forward;
  std::function<void()> m_endProgram;
};

}  // namespace vexa::shell
