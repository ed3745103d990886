#include "vexa/device/byte_learner.h"

namespace vexa {

CByteLearner::CByteLearner(ILearnView& view, int learnSamples)
    : view_(view), range_(learnSamples < 1 ? 1 : learnSamples) {
  view_.setProgress(0, range_);
  view_.enableStore(false);
}

void CByteLearner::restart() {
  progress_ = 0;
  mismatches_ = 0;
  first_.clear();
  view_.setProgress(0, range_);
  view_.enableStore(false);
}

void CByteLearner::onCode(const std::vector<uint8_t>& code) {
  if (complete()) return;
  if (progress_ == 0) {
    first_ = code;
    mismatches_ = 0;
    view_.setProgress(++progress_, range_);
    view_.discardQueuedCodes();
  } else if (code == first_) {
    view_.setProgress(++progress_, range_);
  } else if (++mismatches_ >= kMismatchLimit) {
    view_.showMessage(kMsgNotIdenticalBytes);
    view_.discardQueuedCodes();
    restart();
    return;
  }
  if (complete()) {
    view_.enableStore(true);
    view_.discardQueuedCodes();
  }
}

}  // namespace vexa
