#include "vexa/osd/bar_display_state.h"

#include <utility>

#include "vexa/osd/osd_modes.h"

namespace vexa::osd {

void CBarDisplayState::finish() {
  // Taken first: the callback may issue a request of its own.
  ModeCallback callback = std::exchange(m_callback, nullptr);
  const uint32_t mode = m_mode;
  const int32_t value = m_value;
  if (callback) callback(mode, value);
}

void CBarDisplayState::show(uint32_t code, int32_t value, ModeCallback callback) {
  if (m_active && m_mode != code) finish();
  m_active = true;
  m_mode = code;
  m_value = value;
  m_callback = std::move(callback);
}

void CBarDisplayState::close() {
  if (!m_active) return;
  m_active = false;
  finish();
}

bool CBarDisplayState::isShowing(uint32_t code) const { return m_active && modeMatches(m_mode, code); }

}  // namespace vexa::osd
