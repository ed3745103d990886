#pragma once
// What an execution run asks the on-screen display to show (message 0x7FFF,
// code 98). The run sends it synchronously and keeps ownership: the record
// lives on the sender's stack until SendMessage returns, so the receiver
// neither frees nor keeps it.
#include <cstdint>
#include <optional>
#include <string>

#include "vexa/exec/command_snapshot.h"

namespace vexa {

struct DisplayRequest {
  static constexpr uint32_t kVolumeBar = 101;        // text: mixer control name; value: level
  // 102 panning, 103 fader, 104 treble, 105 bass: the audio modes' bars, as kVolumeBar.
  static constexpr uint32_t kMuteBar = 106;          // text: mixer control name; value: its volume
  static constexpr uint32_t kShutdown = 201;         // value: countdown seconds; the main window's own request
  static constexpr uint32_t kWindowTitle = 502;      // text: the title; object: the window
  static constexpr uint32_t kLayoutSelector = 301;   // text: command name; object: command or null
  static constexpr uint32_t kCommandExecuted = 401;  // object: the command

  std::string text;
  uint32_t code = 0;
  // A command's identity (CommandSnapshot::identity). The receiver looks it
  // up in its tree before use: the command may have been deleted meanwhile.
  const void* object = nullptr;
  int32_t value = 0;
  uint32_t repeat = 0;
  // Code 401 only: the command whose held button ran this one, if any.
  std::string heldFrom;
  // Code 301 only: the layout selector may put the command of the selected
  // layout here (taken on the user-interface thread) for the run to execute.
  std::optional<CommandSnapshot> replacement;
};

// Result of a 301 request that means "the selector took the press".
inline bool selectorTookPress(intptr_t result) { return result == 0 || result == -1; }

}  // namespace vexa
