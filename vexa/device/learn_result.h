#pragma once
// Storing what the learning dialog learned: the checks of its OK button, the
// questions before overwriting, the code record, and the device page's
// "Properties" text of a learned button.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/device/code_store.h"
#include "vexa/device/timing_learner.h"

namespace vexa::device {

inline constexpr std::string_view kMsgEnterRemoteName = "Please enter a name for the remote";
inline constexpr std::string_view kMsgEnterButtonName = "Please enter a name for this button";
// The Learn window names the characters of its section names only.
inline constexpr std::string_view kMsgLearnReservedChars =
    "Please do not use reserved characters.\n#[]@=| are reserved for internal use.";
inline constexpr std::string_view kMsgButtonExists =
    "This button name already exists.\nIf you want to overwrite this button, click YES.\nOtherwise, click NO and "
    "enter a new name.";
inline constexpr std::string_view kLearnInstructionBytes =
    "Please enter a name for the button and hit this button on your remote control.\n\nThe progress bar will "
    "indicate if a signal was received from the remote. Continue pressing the button until the progress bar is "
    "full.";
inline constexpr std::string_view kLearnInstructionTiming =
    "Press and hold down a button while the LED icon is green. If it turns red, release the button, wait a second "
    "and press it again.\n\nRepeat this procedure until the progress bar is full.";

// The message for names the OK button refuses, empty when they are fine.
std::string_view learnNameProblem(std::string_view remote, std::string_view button);

DeviceCode rawDeviceCode(const std::vector<uint8_t>& bytes);
DeviceCode timingDeviceCode(const LearnedTiming& learned);
LearnedTiming learnedTimingOf(const DeviceCode& code);

// Another button of the remote that already holds this code.
std::optional<std::string> buttonWithSameCode(const CCodeStore& store, std::string_view remote,
                                              std::string_view button, const DeviceCode& code, int tolerance);
std::string sameCodeQuestion(std::string_view otherButton);

// "Signature" of a byte code, or "Properties" of a timing code.
struct PropertiesText {
  std::string caption;
  std::string text;
};
PropertiesText propertiesOf(const DeviceCode& code);

// The tolerance learning and matching use for a remote.
int effectiveTolerance(int remoteTolerance, bool timingMode);

}  // namespace vexa::device
