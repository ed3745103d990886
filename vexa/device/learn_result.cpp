#include "vexa/device/learn_result.h"

#include <cstdio>

#include "vexa/device/plugin_abi.h"
#include "vexa/model/names.h"

namespace vexa::device {

std::string_view learnNameProblem(std::string_view remote, std::string_view button) {
  if (remote.empty()) return kMsgEnterRemoteName;
  if (button.empty()) return kMsgEnterButtonName;
  if (hasReservedChar(remote) || hasReservedChar(button)) return kMsgLearnReservedChars;
  return {};
}

DeviceCode rawDeviceCode(const std::vector<uint8_t>& bytes) {
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  code.signature = bytes;
  return code;
}

DeviceCode timingDeviceCode(const LearnedTiming& learned) {
  DeviceCode code;
  code.flags = learned.flags;
  code.raw = learned.raw;
  code.toggled = learned.toggled;
  code.repeat = learned.repeat;
  code.stop = learned.stop;
  code.gap = learned.gap;
  code.repeatGap = learned.repeatGap;
  return code;
}

LearnedTiming learnedTimingOf(const DeviceCode& code) {
  LearnedTiming learned;
  learned.flags = code.flags;
  learned.raw = code.raw;
  learned.toggled = code.toggled;
  learned.repeat = code.repeat;
  learned.stop = code.stop;
  learned.gap = code.gap;
  learned.repeatGap = code.repeatGap;
  return learned;
}

namespace {
bool sameCode(const DeviceCode& a, const DeviceCode& b, int tolerance) {
  if ((a.flags & CodeFlag::kRaw) && (b.flags & CodeFlag::kRaw)) return a.signature == b.signature;
  if ((a.flags & CodeFlag::kTiming) && (b.flags & CodeFlag::kTiming))
    return !a.raw.empty() && signalsAgree(a.raw, b.raw, tolerance);
  return false;
}
}  // namespace

std::optional<std::string> buttonWithSameCode(const CCodeStore& store, std::string_view remote,
                                              std::string_view button, const DeviceCode& code, int tolerance) {
  const DeviceRemote* r = store.findRemote(remote);
  if (!r) return std::nullopt;
  for (const auto& [name, stored] : r->commands)
    if (!iequals(name, button) && sameCode(stored, code, tolerance)) return name;
  return std::nullopt;
}

std::string sameCodeQuestion(std::string_view otherButton) {
  return "This button is already assigned to " + std::string(otherButton) +
         ".\nIf you want to overwrite this button, click YES.\nOtherwise, click NO and enter a new name.";
}

PropertiesText propertiesOf(const DeviceCode& code) {
  if (code.flags & CodeFlag::kRaw) {
    std::string text;
    char hex[4];
    for (uint8_t b : code.signature) {
      std::snprintf(hex, sizeof hex, "%02X ", b);
      text += hex;
    }
    return {"Signature", text};
  }
  std::vector<std::string> lines;
  const uint32_t encoding = code.flags & CodeFlag::kEncodingMask;
  if (encoding & 1) lines.emplace_back(" Shift encoded");
  if (encoding & 2) lines.emplace_back(" Space encoded");
  if (encoding & 4) lines.emplace_back(" Pulse encoded");
  if (code.flags & CodeFlag::kDecoded) {
    char value[16];
    std::snprintf(value, sizeof value, "%08x", code.decoded);
    lines.push_back(std::string(" Decoded: ") + value);
  }
  if (code.flags & CodeFlag::kGapKnown) lines.emplace_back(" Gap");
  if (code.flags & CodeFlag::kRepeatCode) lines.emplace_back(" Special repeat code");
  if (code.flags & CodeFlag::kStopCode) lines.emplace_back(" Stop code");
  if (code.flags & CodeFlag::kToggling) lines.emplace_back(" Toggling");
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return {"Properties", text};
}

int effectiveTolerance(int remoteTolerance, bool timingMode) {
  return remoteTolerance == 0 && timingMode ? abi::kDefaultTolerance : remoteTolerance;
}

}  // namespace vexa::device
