#pragma once
// The layout selector: which layout of a multi-layout command the next run
// uses, chosen by holding the button (single-button mode) or after a
// trigger command (extra-button mode). Decisions only; the window shows
// what view() says and runs a timer for the time step() asks for.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vexa/osd/osd_settings.h"

namespace vexa::osd {

struct SelectorLayout {
  std::string name;
  std::vector<std::string> actions;  // the action names, in order
};

// A command as the tree has it now.
struct SelectorCommand {
  std::string name;
  std::vector<SelectorLayout> layouts;
  size_t active = 0;
};

// Looks a command up by its identity; nothing once it is gone.
class ISelectorCommands {
 public:
  virtual ~ISelectorCommands() = default;
  virtual std::optional<SelectorCommand> find(const void* identity) const = 0;
};

struct SelectorPress {
  std::string name;               // the command name pressed
  const void* identity = nullptr; // null before the run resolved the command
  uint32_t repeat = 0;
};

// What to execute: the layout `layout` of the command `identity`.
struct SelectorChoice {
  const void* identity = nullptr;
  std::string name;
  size_t layout = 0;
};

struct SelectorStep {
  bool consumed = false;               // the press is the selector's: no run
  std::optional<uint32_t> timerMs;     // (re)start the selector's timer
  std::optional<SelectorChoice> runNow;  // a held-back choice that must run first
};

struct SelectorView {
  std::string title = "Layout Selector";
  std::string mainText;
  std::vector<std::string> lines;  // the first three actions of the selected layout
  std::string layoutName;          // empty while nothing is selected
};

class CLayoutSelector {
 public:
  static constexpr uint32_t kHoldExtraMs = 250;
  static constexpr size_t kActionLines = 3;
  static constexpr const char* kTriggerText = "Press command button to select layout.";

  struct Options {
    SelectorMode mode = SelectorMode::SingleButton;
    std::string trigger;                // extra-button mode's command name
    uint32_t typematicDelayMs = 500;
    uint32_t timeoutMs = 2000;          // the OSD time-out
  };

  explicit CLayoutSelector(const ISelectorCommands& commands) : m_commands(commands) {}
  void setOptions(Options options) { m_options = std::move(options); }
  const Options& options() const { return m_options; }

  // A display request of code 301.
  SelectorStep press(const SelectorPress& press);
  // The selector's timer fired: the choice to execute, when one was made and
  // its command still has that layout. The selector is idle afterwards.
  std::optional<SelectorChoice> timerFired();
  // Request 1, or the tree was reloaded: nothing runs.
  void drop();

  // Held back or on show: runs should ask before resolving.
  bool active() const { return m_state != State::Idle; }
  bool shown() const { return m_state == State::Shown || m_state == State::Triggered; }
  SelectorView view() const;

 private:
  enum class State { Idle, Holding, Shown, Triggered };

  SelectorStep pressSingle(const SelectorPress& press);
  SelectorStep pressExtra(const SelectorPress& press);
  SelectorStep hold(const SelectorPress& press, const SelectorCommand& command);
  void select(const void* identity, const SelectorCommand& command, size_t layout);
  bool selectNext();
  SelectorStep consume(uint32_t timerMs) const;
  std::optional<SelectorChoice> validChoice() const;

  const ISelectorCommands& m_commands;
  Options m_options;
  State m_state = State::Idle;
  std::optional<SelectorChoice> m_choice;
};

}  // namespace vexa::osd
