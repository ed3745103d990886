#pragma once
// The decision for a command that runs another command when its button is
// held: each press waits until it is known to be short (the button let go
// before the hold time) or long (still reported at the hold time). Buttons
// without the setting never come here, so they keep their latency.
//
// A remote button is held while its repeats keep coming within the repeat
// time-out; a hot key while its key is down (asked through `keyDown`, since
// the hook reports only key presses and their auto-repeats).
//
// Use: call poll() first whenever time has passed (a record arrives, the
// timer fires), then repeat() for a button that tracks(), else press() when
// its command has the setting.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class CHoldTrigger {
 public:
  // One button: a remote's (names compared case-insensitively) or a hot key's.
  struct Button {
    std::string remote;
    std::string command;
    uint32_t hotKey = 0;  // nonzero: a hot key, the names are not compared

    static Button remoteButton(std::string_view remote, std::string_view command);
    static Button key(uint32_t hotKey);
    bool isHotKey() const { return hotKey != 0; }
    bool same(const Button& other) const;
  };
  // What the pressed command asks for; the identities are the caller's.
  struct Hold {
    uint32_t holdMs = 0;
    const void* command = nullptr;  // the pressed command
    const void* target = nullptr;   // the command that runs when held
  };
  enum class Run {
    Short,  // the pressed command itself, once, repeat 0
    Long,   // the held command: repeat 0 when decided, then counted
  };
  struct Step {
    Run run = Run::Short;
    Button button;
    Hold hold;
    uint32_t repeat = 0;
  };
  using KeyDown = std::function<bool(uint32_t hotKey)>;

  // How often a held hot key's key is looked at.
  static constexpr uint32_t kKeyPollMs = 30;

  void setRepThreshold(uint32_t ms) { repThresholdMs_ = ms; }

  bool tracks(const Button& button) const;
  bool empty() const { return presses_.empty(); }

  // A new press of a button whose command has a hold setting: nothing runs yet.
  void press(const Button& button, const Hold& hold, uint64_t now100ns);
  // Another report of a tracked button (a repeat, or a hot key's auto-repeat).
  // The long run once the hold time is reached, then the held command's
  // repeats under the typematic rule; nothing while the decision waits.
  std::optional<Step> repeat(const Button& button, uint64_t now100ns, uint32_t typematicDelayMs);
  // What time decides: presses whose repeats stopped (short when undecided),
  // hot keys let go (short when undecided) or held long enough (long).
  std::vector<Step> poll(uint64_t now100ns, const KeyDown& keyDown);
  // When poll() has something to decide next; nothing when no press is tracked.
  std::optional<uint64_t> nextDeadline(uint64_t now100ns) const;

  // The configuration was replaced: presses end unrun.
  void clear() { presses_.clear(); }

 private:
  struct Press {
    Button button;
    Hold hold;
    uint64_t start = 0;
    uint64_t lastArrival = 0;
    uint64_t lastAccepted = 0;  // the held command's last run
    bool decided = false;       // the held command has run
    uint32_t counter = 0;       // its repeat count
  };

  Press* find(const Button& button);
  const Press* find(const Button& button) const;
  bool timedOut(const Press& press, uint64_t now100ns) const;
  static Step longStep(Press& press, uint64_t now100ns);

  uint32_t repThresholdMs_ = 250;
  std::vector<Press> presses_;
};

}  // namespace vexa
