#pragma once
// Presses of commands that run another command when held, between the
// repeat rules and the engine: which variant of the pressed command applies
// (and whether it has the setting), the timer that ends presses, and the
// start of the held command itself.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "vexa/device/hold_trigger.h"

namespace vexa {
class CCmdArray;
class CCmdTree;
namespace exec {
class CExecEngine;
}
}  // namespace vexa

namespace vexa::shell {

class CHeldButtons {
 public:
  // Starts a command by name, as a press of its button does.
  using Starter = std::function<void(const std::string& remote, const std::string& command, int repeat)>;
  using StatusSink = std::function<void(const std::wstring& text)>;
  struct Settings {
    uint32_t repThresholdMs = 250;
    uint32_t typematicDelayMs = 500;
    bool synchronous = false;
  };

  CHeldButtons(HWND mainWindow, exec::CExecEngine& engine, StatusSink status);
  ~CHeldButtons();
  CHeldButtons(const CHeldButtons&) = delete;
  CHeldButtons& operator=(const CHeldButtons&) = delete;

  void SetTree(CCmdTree* tree);
  void ApplySettings(const Settings& settings);

  // A remote button's record: true when a held-button press took it (the
  // caller then neither starts it nor hands it on).
  bool OnRecord(const std::string& remote, const std::string& command, const Starter& start);
  // A hot key's event: true when it continues a tracked press.
  bool OnHotKeyEvent(uint32_t hotKey, const Starter& start);
  // The command a hot key found: true when its press waits for the hold decision.
  bool PressHotKey(uint32_t hotKey, const CCmdArray& command);
  // The main window's timer; false when it is not this one's.
  bool OnTimer(UINT_PTR id, const Starter& start);

 private:
  std::optional<CHoldTrigger::Hold> HoldOf(const std::string& remote, const std::string& command);
  std::optional<CHoldTrigger::Hold> HoldOf(const CCmdArray& command) const;
  void Poll(uint64_t now, const Starter& start);
  void Run(const CHoldTrigger::Step& step, const Starter& start);
  void RunHeld(const CHoldTrigger::Step& step);
  void ArmTimer(uint64_t now);

  HWND m_main;
  exec::CExecEngine& m_engine;
  StatusSink m_status;
  CCmdTree* m_tree = nullptr;
  Settings m_settings;
  CHoldTrigger m_trigger;
};

}  // namespace vexa::shell
