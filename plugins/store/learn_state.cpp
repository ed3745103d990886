#include "plugins/store/learn_state.h"

namespace vexa::store {

CLearnState::Outcome CLearnState::feed(uint32_t code) {
  if (m_learned) return Outcome::kIgnored;
  if (!m_first) {
    m_first = code;
    m_mismatches = 0;
    return Outcome::kFirst;
  }
  if (code == *m_first) {
    m_learned = true;
    return Outcome::kLearned;
  }
  if (m_second && code == *m_second) {
    m_first = code;
    m_learned = true;
    return Outcome::kLearned;
  }
  if (++m_mismatches > m_rules.mismatchLimit) {
    reset();
    return Outcome::kRetry;
  }
  if (m_rules.keepMismatch) m_second = code;
  return Outcome::kMismatch;
}

void CLearnState::reset() {
  m_first.reset();
  m_second.reset();
  m_mismatches = 0;
  m_learned = false;
}

}  // namespace vexa::store
