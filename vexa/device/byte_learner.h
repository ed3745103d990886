#pragma once
// Learning a byte-code button: the same code several times in a row.
#include <cstdint>
#include <vector>

#include "vexa/device/learn_view.h"

namespace vexa {

class CByteLearner {
 public:
  static constexpr int kMismatchLimit = 4;

  CByteLearner(ILearnView& view, int learnSamples);
  void onCode(const std::vector<uint8_t>& code);
  bool complete() const { return progress_ >= range_; }
  const std::vector<uint8_t>& code() const { return first_; }

 private:
  void restart();

  ILearnView& view_;
  int range_;
  int progress_ = 0;
  int mismatches_ = 0;
  std::vector<uint8_t> first_;
};

}  // namespace vexa
