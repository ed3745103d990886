#pragma once
// Stands in for the machine's irreversible effects: records each call and
// answers as the test sets it up.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "vexa/exec/win/actions/system_actions.h"

namespace vexa::test {

class CRecordingSystemActions final : public exec::ISystemActions {
 public:
  bool exitWindows(uint32_t type) override { return note("exit " + std::to_string(type)), exitResult; }
  exec::SuspendResult suspend(bool hibernate) override {
    note(hibernate ? "hibernate" : "suspend");
    return suspendResult;
  }
  bool displayOff(bool& available) override {
    note("display off");
    available = broadcastAvailable;
    return displayOffResult;
  }
  std::vector<DisplayMode> displayModes() override { return modes; }
  bool applyDisplayMode(const DisplayMode& mode) override {
    note("mode " + displayModeText(mode));
    return true;
  }
  bool writeTvOut(uint32_t setting) override {
    note("tv " + std::to_string(setting));
    return tvOutResult;
  }
  exec::DialResult dial(std::string_view entry) override {
    note("dial " + std::string(entry));
    return dialResult;
  }
  exec::HangUpResult hangUpAll() override {
    note("hang up");
    return hangUpResult;
  }
  std::vector<std::string> dialEntries(bool& available) override {
    available = true;
    return entries;
  }

  std::vector<std::string> calls() {
    std::lock_guard lock(m_lock);
    return m_calls;
  }

  bool exitResult = true;
  exec::SuspendResult suspendResult{true, 0};
  bool broadcastAvailable = true;
  bool displayOffResult = true;
  bool tvOutResult = false;
  std::vector<DisplayMode> modes;
  exec::DialResult dialResult;
  exec::HangUpResult hangUpResult;
  std::vector<std::string> entries;
  // Told of each call as it happens, to put it in order with other events.
  std::function<void(const std::string& call)> onCall;

 private:
  void note(std::string call) {
    if (onCall) onCall(call);
    std::lock_guard lock(m_lock);
    m_calls.push_back(std::move(call));
  }
  std::mutex m_lock;
  std::vector<std::string> m_calls;
};

}  // namespace vexa::test
