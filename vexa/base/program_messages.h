#pragma once
// Every private window message of the program and every code of message
// 0x7FFF that the program uses between its own windows and modules. The
// codes that plug-ins send are part of their contract (plugin_abi.h).
namespace vexa::ProgramMessage {

// ---- Private window messages of the main window
inline constexpr unsigned kTrayNotify = 0x464;         // the tray icon's callback; lParam the mouse message
inline constexpr unsigned kShutdown = 0x466;           // posted; wParam countdown seconds, lParam flags
inline constexpr unsigned kSynthesiseKey = 0x467;      // sent; wParam virtual key, lParam 0 down / 2 up
inline constexpr unsigned kServerRecord = 0x468;       // posted; wParam ServerRecord*, main window deletes
inline constexpr unsigned kSuspendKeyboardHook = 0x469;// sent while a field takes keys itself
inline constexpr unsigned kResumeKeyboardHook = 0x46A; // sent when that field lets go again
inline constexpr unsigned kFindWindow = 0x46B;         // sent; wParam refresh flag, lParam window name
inline constexpr unsigned kFlashTray = 0x46C;          // posted; busy icon, then back on timer 1
inline constexpr unsigned kSwitchLayout = 0x46D;       // sent; lParam SwitchLayoutRequest*, owned by the sender
inline constexpr unsigned kPageSettingsChanged = 0x46E;// sent by a page of the main window: enables Apply
inline constexpr unsigned kReportError = 0x46F;        // sent to the error reporter's window; lParam ErrorReport*
inline constexpr unsigned kRetitleWizard = 0x470;      // posted by a wizard page to itself once it is active
inline constexpr unsigned kActionRequest = 0x471;      // sent; lParam ActionUiRequest*, owned by the sender:
                                                       // an action's work on the user-interface thread

inline constexpr unsigned kKeyUp = 2;  // lParam of kSynthesiseKey

// ---- Timers of the main window that actions start (ids 1 and 3 are the window's own)
inline constexpr unsigned kSwitchBackTimer = 2;    // 3 s after the last temporary activation
inline constexpr unsigned kCycleTimer = 10;        // 2 s after the last "Cycle through windows"
inline constexpr unsigned kMouseStopTimer = 11;    // 250 ms after the last "Move Mouse"
inline constexpr unsigned kShutdownTickTimer = 12; // the shutdown countdown's second; not 10, which a cycle stops
inline constexpr unsigned kHoldTimer = 13;         // a held button's next decision (time-out, key let go)

// ---- Codes of message 0x7FFF (wParam) used inside the program
inline constexpr unsigned kMessageHookHandle = 90;    // hook module: its message-hook handle
inline constexpr unsigned kWndProcHookHandle = 91;    // hook module: its window-procedure-hook handle
inline constexpr unsigned kRunStatus = 92;            // sent; lParam an execution run's new[] UTF-8 status
                                                      // text (plug-ins' code 100 is ANSI); main window frees it
inline constexpr unsigned kMousePosition = 94;        // hook module to the position tool: x * 65536 + y
inline constexpr unsigned kMouseHookHandle = 95;      // hook module: its mouse-hook handle
inline constexpr unsigned kHotKeyEvent = 96;          // hook module: one key event
inline constexpr unsigned kKeyboardHookHandle = 97;   // hook module: its keyboard-hook handle
inline constexpr unsigned kDisplayRequest = 98;       // lParam DisplayRequest*, sent, owned by the sender

}  // namespace vexa::ProgramMessage
