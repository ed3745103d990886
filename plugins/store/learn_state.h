#pragma once
// What the learn dialog makes of the codes that arrive: the same code twice
// learns it; different codes count as mismatches until too many of them start
// the learning over.
#include <cstdint>
#include <optional>

namespace vexa::store {

struct LearnRules {
  int mismatchLimit = 6;  // more mismatches than this start over
  // A mismatching code is kept as a second candidate: either code, seen
  // again, is learned.
  bool keepMismatch = false;
};

class CLearnState {
 public:
  enum class Outcome {
    kFirst,     // the first code: half way
    kLearned,   // the same code again: done
    kIgnored,   // already learned
    kMismatch,  // a different code, tolerated
    kRetry,     // too many different codes: forgotten, start again
  };

  explicit CLearnState(LearnRules rules = {}) : m_rules(rules) {}

  Outcome feed(uint32_t code);
  void reset();
  bool learned() const { return m_learned; }
  // Meaningful once learned.
  uint32_t code() const { return m_first.value_or(0); }
  // 0, 50 or 100.
  int progress() const { return m_learned ? 100 : (m_first ? 50 : 0); }

 private:
  LearnRules m_rules;
  std::optional<uint32_t> m_first;
  std::optional<uint32_t> m_second;
  int m_mismatches = 0;
  bool m_learned = false;
};

}  // namespace vexa::store
