#pragma once
// The bar display's mode and the completion callback that goes with it. A
// mode that gives way to another, or closes, hears how it ended exactly once.
#include <cstdint>
#include <functional>

namespace vexa::osd {

// (the mode's code, its outcome): for the shutdown display nonzero means
// "go on" and 0 "cancel".
using ModeCallback = std::function<void(uint32_t code, int32_t value)>;

class CBarDisplayState {
 public:
  // A request for `code`. When another mode was on show, its callback hears
  // (its code, its own value): the outcome it would have had on closing, so
  // that an unrelated request's value can neither cancel nor start anything.
  // The same code keeps showing and only takes the new callback.
  void show(uint32_t code, int32_t value, ModeCallback callback);
  // The time-out or a hide request: the callback hears (mode, value) and the
  // display has no mode afterwards.
  void close();

  bool active() const { return m_active; }
  uint32_t mode() const { return m_mode; }
  int32_t value() const { return m_value; }
  // Is the display showing a mode that matches `code` (see modeMatches)?
  bool isShowing(uint32_t code) const;

 private:
  void finish();

  bool m_active = false;
  uint32_t m_mode = 0;
  int32_t m_value = 0;
  ModeCallback m_callback;
};

}  // namespace vexa::osd
