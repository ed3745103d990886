#pragma once
// Every action type the engine runs, and what the engine must know of each
// beyond the catalogue's editing flags.
#include <string_view>

namespace vexa {

enum class ActionKind : int {
  None = 0,
  ExecuteApplication = 1,
  CloseApplication = 2,
  KeystrokeToApplication = 3,
  ExecuteCloseApplication = 4,
  MinimizeApplication = 5,
  MaximizeApplication = 6,
  MinMaxRestoreApplication = 7,
  RestoreApplication = 8,
  CycleThroughWindows = 9,
  MinimizeWindow = 10,
  MaximizeWindow = 11,
  CloseWindow = 12,
  KeystrokeToCurrentWindow = 14,
  ShutdownWindows = 15,
  SuspendWindows = 16,
  KeystrokeToWindow = 17,
  ChangeDisplayMode = 18,
  RecordVolume = 20,
  MoveMouse = 21,
  SetMousePosition = 22,
  ClickMouseButton = 23,
  DoubleClickMouseButton = 24,
  RollMouseWheel = 25,
  Mute = 30,
  AudioMode = 31,
  AdjustUp = 32,
  AdjustDown = 33,
  Disconnect = 34,
  Connect = 35,
  OpenLocation = 36,
  PostMessage = 37,
  TurnOffDisplay = 38,
  SwitchLayout = 39,
  DisplayWindowTitle = 40,
  SwitchToWindow = 41,
};

inline constexpr int kActionKindLimit = 42;

struct ActionTraits {
  bool firstPressOnly = false;  // a held button does not repeat it
  bool endsNoCycle = false;     // may follow "Cycle through windows" without ending the cycle
};

ActionTraits actionTraits(ActionKind kind);
// The kind of a stored type name (case-insensitive); None when unknown.
ActionKind actionKindOf(std::string_view typeName);
constexpr ActionKind actionKindFromNumber(int type) {
  return type > 0 && type < kActionKindLimit ? static_cast<ActionKind>(type) : ActionKind::None;
}

}  // namespace vexa
