#pragma once
// What the learning state machines ask of their dialog.
#include <string_view>

namespace vexa {

enum class LedState { Green, Busy, Red };

inline constexpr std::string_view kLearnTitle = "Learn";
inline constexpr std::string_view kMsgNotIdenticalBytes = "The signals were not identical.\nPlease retry";
inline constexpr std::string_view kMsgNotIdenticalTiming = "The signals were not identical. Please retry.";

// Timer identifiers of the dialog.
inline constexpr int kCaptureTimer = 0;    // end of a capture
inline constexpr int kStopCodeTimer = 1;   // end of a stop code
inline constexpr int kSilenceTimer = 10;   // the LED turns green again
inline constexpr unsigned kLearnTimerMs = 500;

class ILearnView {
 public:
  virtual ~ILearnView() = default;
  virtual void setLed(LedState state) = 0;
  virtual void setProgress(int position, int range) = 0;
  // Title "Learn", information icon.
  virtual void showMessage(std::string_view text) = 0;
  virtual void armTimer(int id, unsigned milliseconds) = 0;
  virtual void stopTimer(int id) = 0;
  // OK and "Learn Another".
  virtual void enableStore(bool enabled) = 0;
  // A held button leaves a backlog of codes that must not count twice.
  virtual void discardQueuedCodes() = 0;
};

}  // namespace vexa
